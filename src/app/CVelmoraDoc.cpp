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
