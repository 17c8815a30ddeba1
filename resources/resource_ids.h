// Names of the resources that orbelinchk.rc puts in the executable, for the code that loads them
// (LoadImageW with the module's instance). The script spells the same names bare; keep both sides
// in step (tests/pe/check_exe.py checks that every name here is in the built .exe).
#pragma once

#ifndef RC_INVOKED
namespace orbelin::resources {

inline constexpr const wchar_t* kMainIcon = L"MAINICON";          // ICON group
inline constexpr const wchar_t* kQuitGlyph = L"GLYPH_QUIT";       // BITMAP, 24x24, 24-bit
inline constexpr const wchar_t* kCheckGlyph = L"GLYPH_CONTROLE";  // BITMAP, 24x24, 24-bit

}  // namespace orbelin::resources
#endif
