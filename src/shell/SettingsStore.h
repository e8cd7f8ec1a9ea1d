// The user's settings between runs: five values in the per-user store of organisation
// "Kestrovo", application "Marrowfin" (an INI file in the user's configuration folder).
// Loaded once when the "Additional Options" window is created, saved when the main window
// closes. Failures never reach the user.
#pragma once

namespace mf {

class TForm1;
class TForm4;

namespace SettingNames {
inline constexpr char OutputFolder[] = "Output Folder";            // text
inline constexpr char ComboOutputFormat[] = "ComboOutputFormat";   // 32-bit integer
inline constexpr char Overwrite[] = "Overwrite";                   // 32-bit integer, 1 or 0
inline constexpr char DropDownItems[] = "DropDownItems";           // 32-bit integer
inline constexpr char LetterBox[] = "LetterBox";                   // 32-bit integer
}  // namespace SettingNames

// Applies the stored values in order: output folder, output format, overwrite, drop-down
// rows, letterbox. At the first value that is missing or does not read as its type, the
// values applied so far stay applied and the current state of all five is saved, so a first
// run creates them.
void LoadSettings(TForm1& form1, TForm4& form4);

// Writes all five values from the windows' current state.
void SaveSettings(const TForm1& form1, const TForm4& form4);

}  // namespace mf
