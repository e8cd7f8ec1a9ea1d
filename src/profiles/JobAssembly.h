// Job option assembly: turns the option boxes of the selected profile into the
// output record of one file. Which boxes are read and which rules apply depends on the
// profile's assembly variant: generic, AAC or AMR.
#pragma once

#include <string_view>

#include "Catalogue.h"
#include "ProfileControls.h"
#include "TaskOptions.h"

namespace mf {

enum class TAssemblyVariant { Generic, Aac, Amr };

// The variant of a profile id; false when the id has none.
bool AssemblyVariantOf(int profileId, TAssemblyVariant& variant);

// True for the size captions that keep the source's frame size, so FrameSize stays unset:
// "Original Video Size", and "Auto" (offered by the Archos, Creative Zen and iRiver sets;
// as a frame size "Auto" is rejected by the engine, so a choice we offer would always fail).
bool SizeCaptionKeepsSourceSize(std::string_view caption);

// The variants. Each writes only its own fields, in a fixed order; a bit-rate or
// sample-rate caption that is not a number raises EConvertError in the last step, leaving the
// fields written before it.
void AssembleGenericJob(const TProfileControls& controls, TOutputOptions& job);
void AssembleAacJob(const TProfileControls& controls, TOutputOptions& job);
void AssembleAmrJob(const TProfileControls& controls, TOutputOptions& job);

// Finds the catalogue entry whose Caption equals the text of ComboOutputFormat, runs the
// variant of its ProfileId and adds the settings its players need (PlayerSettings.h). Writes
// nothing when no entry matches. Returns the entry, or null.
const TheAVCodec* AssembleProfileJob(const TProfileControls& controls, TOutputOptions& job);

}  // namespace mf
