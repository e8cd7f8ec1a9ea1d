// Texts for the failures of opening and writing media files.
#pragma once

#include <string>

namespace mf {

// The kinds of open failure the user is told about, numbered as the messages have always
// been keyed (and as callers that store codes may rely on).
enum TOpenError : int {
  oeNoSuchFile = -2,
  oeIo = -5,
  oeNoMemory = -12,
  oeBadHeader = -22,
  oeBadImageName = -33,
  oeUnknownFormat = -42,
  oeOther = -1,  // anything else: the generic text
};

// The message for Code (a TOpenError, or anything else for the generic text).
std::string OpenErrorText(const std::string& fileName, int code);

// Classifies a library result by what it means. A file that no demuxer claims and a file
// whose demuxer fails on the header both come back as "invalid data"; formatRecognised tells
// them apart. A result of no listed meaning is oeOther, never passed on: this library's codes
// are negated system error numbers, some of which equal the keys above by accident.
int OpenErrorCode(int libraryResult, bool formatRecognised);

// The text for a failed open of an input: the result classified by meaning, looking at the
// file again only when an unknown format has to be told from a damaged header.
std::string OpenFailureText(const std::string& fileName, int libraryResult, bool formatForced);

// Whether a demuxer recognises fileName's content with some confidence; used only on the failure path
// to tell an unknown format from a damaged header. Needs the bound libraries.
bool ProbeRecognisesFormat(const std::string& fileName);

}  // namespace mf
