#include "core/link_api.h"

#include "core/folders.h"

namespace quorel {
namespace {

LinkApi* g_installed = nullptr;

}  // namespace

LinkApi& Link() {
  if (g_installed) return *g_installed;
  // Bound lazily, so a program without the file starts all the same.
  static const std::unique_ptr<LinkApi> library = MakeLibraryLink(LibraryFileName());
  return *library;
}

void SetLinkApi(LinkApi* api) { g_installed = api; }

}  // namespace quorel
