#pragma once

// Registers a job of 100 letter pages, each of 2,000 text-sized rectangles
// laid out in lines like glyphs, through a printer whose generator is the
// PCL XL generator into the memory channel, as "ours/xl_job/100_pages",
// beside "reference/xl_job/100_pages": the same operators appended byte by
// byte to a vector. Both report pages per second and bytes per page.
void RegisterJobBenchmarks();
