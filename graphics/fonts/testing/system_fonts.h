#pragma once

// Fonts from Debian's packages that the font tests read (.ci/install-packages
// installs them), and the Python whose fontTools reads them independently.
namespace system_fonts {

inline constexpr const char kDejaVuSans[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline constexpr const char kLiberationSerif[] = "/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf";
// Japanese, with a GSUB table that holds vertical forms.
inline constexpr const char kIpaGothic[] = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
// Simplified Chinese, with a mort table that holds vertical forms.
inline constexpr const char kArphicSung[] = "/usr/share/fonts/truetype/arphic-gbsn00lp/gbsn00lp.ttf";

// Debian's interpreter, which has fontTools, whatever python3 comes first on
// the path.
inline constexpr const char kFontToolsPython[] = QV_FONTTOOLS_PYTHON;

}  // namespace system_fonts
