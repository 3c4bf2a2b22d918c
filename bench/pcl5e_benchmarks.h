#pragma once

// Registers a blank job of 200 letter pages through a printer whose
// generator is the PCL 5e generator, into the memory channel, as
// "ours/pcl5e_job/200_blank_pages", beside
// "reference/pcl5e_job/200_blank_pages": a plain loop that appends the same
// number of bytes, one at a time, to a vector. Both report pages per second
// and bytes per page.
void RegisterPcl5eBenchmarks();
