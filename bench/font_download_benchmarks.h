#pragma once

// Registers a one-page job that shows 1,000 glyphs of DejaVu Sans through
// a printer whose generator is the PCL XL generator, so that each job
// downloads the font's header and those glyphs' outlines, as
// "ours/xl_font_download/1000_glyphs", beside
// "reference/xl_font_download/1000_glyphs": a memcpy of as many bytes as
// the job wrote. Both report glyphs per second and bytes per job.
void RegisterFontDownloadBenchmarks();
