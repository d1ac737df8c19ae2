#pragma once

#include <QApplication>
#include <memory>

#include "app/CVelmoraDoc.h"
#include "batch/BatchRunner.h"

namespace velmora::gui {

class CGuiHost;
class CMainFrame;

// The application: builds the document (which finds the settings folder and
// loads the settings), then the main frame and its view.
class CVelmoraApp : public QApplication {
  Q_OBJECT
public:
  CVelmoraApp(int& argc, char** argv);
  ~CVelmoraApp() override;

  // False when the program cannot start (no settings folder); the message has been shown.
  bool initInstance();

  CMainFrame* mainFrame() const { return frame_.get(); }
  CVelmoraDoc& document() { return doc_; }
  CGuiHost& host() { return *host_; }

  // The whole command line after the program name, which names the settings folder.
  static std::string commandLine(const QStringList& arguments);

private:
  CVelmoraDoc doc_;
  CBatchState batch_;
  std::unique_ptr<CGuiHost> host_;
  std::unique_ptr<CMainFrame> frame_;
};

} // namespace velmora::gui
