// One run-time loaded library: its handle, binding state and entry-point table.
#pragma once

#include <string>
#include <vector>

namespace mf {

// Stores a looked-up address into the typed pointer it belongs to.
using TEntryPointSetter = void (*)(void* address);

struct TEntryPoint {
  const char* Name;
  TEntryPointSetter Set;
};

class TLibraryModule {
 public:
  using TFileNameRule = std::string (*)(bool versioned);

  TLibraryModule(TFileNameRule fileNameRule, std::vector<TEntryPoint> entryPoints);

  // Loads the library (unless loaded) and binds its entry points (unless bound), in table
  // order, stopping at the first missing one. A failure leaves the library loaded and the
  // addresses found so far set; a later call repeats the look-up from the first entry.
  // Never throws. On false, errorText receives LoadError.
  bool Load(std::string& errorText, bool versioned);
  void Unload();
  bool Loaded() const { return Bound; }
  std::string LibraryFileName() const { return FileNameRule(Versioned); }
  const std::vector<TEntryPoint>& EntryPoints() const { return Entries; }

  void* Handle = nullptr;
  bool Bound = false;
  bool Versioned = false;
  std::string LoadError;

 private:
  TFileNameRule FileNameRule;
  std::vector<TEntryPoint> Entries;
};

// The file name tried for a library: the copy in the current directory when there is one
// (loading the folder's private copy or failing on it, never silently another one),
// otherwise the bare name through the system's search.
std::string ResolveLibraryPath(const std::string& fileName);

}  // namespace mf

// Declares, inside namespace ff, one pointer per entry point with the exact type of the
// library's declaration, so every call through it is type-checked against the header.
#define MF_DECLARE_ENTRY(name) inline decltype(&::name) name = nullptr;
#define MF_ENTRY_ROW(name) \
  ::mf::TEntryPoint{#name, [](void* p) { ::ff::name = reinterpret_cast<decltype(::ff::name)>(p); }},
