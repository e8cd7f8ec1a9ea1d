// Applies the task option records to an engine, field by field, in their fixed order.
#pragma once

#include "FFmpeg.h"
#include "TaskOptions.h"

namespace mf {

// Each raises the first failing setter's exception and applies nothing after it.
void ApplyExtOptions(TCustomFFmpeg& engine, const std::string& text);
void ApplyInputOptions(TCustomFFmpeg& engine, const TInputOptions& options);
// The hook handlers are installed as the record asks: the custom hook, else the before
// hook, else the time ranges.
void ApplyOutputOptions(TCustomFFmpeg& engine, const TOutputOptions& options, const TCustomHookHandler& customHook,
                        const TBeforeHookHandler& beforeHook);

// A colour value as the window stores it (red in the low byte) resolved to plain RGB; the
// few named system colours the window can offer get their usual look.
int ResolveColor(int32_t color);

}  // namespace mf
