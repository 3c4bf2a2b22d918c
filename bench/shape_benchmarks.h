#pragma once

// Registers the PCL XL generator's page of 1,000 mixed shapes (rectangles,
// ellipses, polygons of 20 points, Bézier curves of two segments) as
// "ours/xl_shapes/mixed", beside "reference/xl_shapes/mixed": the same
// operators stored byte by byte into one block.
void RegisterShapeBenchmarks();
