// What the program hands to the desktop's default handlers: its help page, the maker's web
// site (browser) and the support address (e-mail program). Results are not examined: a
// missing handler shows whatever the desktop shows.
#pragma once

#include <QString>

namespace mf {

inline constexpr char KestrovoWebsite[] = "https://www.kestrovo.com/";
inline constexpr char SupportMail[] = "mailto:support@kestrovo.com?subject=Marrowfin";

// The help page beside the executable.
QString HelpFilePath(const QString& executableFolder);

void OpenHelpFile(const QString& helpFile);
void OpenKestrovoWebsite();
void OpenSupportMail();

}  // namespace mf
