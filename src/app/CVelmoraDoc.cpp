#include "app/CVelmoraDoc.h"

#include "settings/Folders.h"

namespace velmora {

bool CVelmoraDoc::create(IHost& host, std::string_view commandLine) {
  if (!locateSettingsFolder(host, commandLine)) return false;
  loadSettings(host);
  return true;
}

bool CVelmoraDoc::locateSettingsFolder(IHost& host, std::string_view commandLine) {
  const FolderResult folder = velmora::locateSettingsFolder(commandLine);
  if (!folder.ok()) {
    host.showMessage(folder.error);
    return false;
  }
  settings = CSettings(folder.path);
  // A first start: the new folder gets every file with its defaults instead of
  // a missing-file message for each. An existing folder keeps those messages.
  if (folder.created) writeMissingSettingsFiles(folder.path, host);
  return true;
}

void CVelmoraDoc::loadSettings(IHost& host) { settings.loadAtStartup(host); }

void CVelmoraDoc::clearStore() {
  candidates.clear();
  store.clear();
}

void CVelmoraDoc::clearStore(bool clearBeamWork) {
  if (clearBeamWork) beamGroups.clear();
  store.clear();
}

} // namespace velmora
