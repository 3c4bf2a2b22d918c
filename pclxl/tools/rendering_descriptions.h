#pragma once

// Makes the stages of the render pipeline known to device descriptions, so
// that a description's pipeline head can be the printer object with its
// writing stages: the PJL writer and, for now, the test generator of the
// device model's tests. Call it once before compiling or printing a description
// that holds them.
void AddRenderingDescriptions();
