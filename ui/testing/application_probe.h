#pragma once

#include <stdexcept>
#include <string>

#include "ui/application.h"

namespace kestravin::ui {

/// A look inside a running Application for tests and measuring tools: its run controller,
/// windows, controls, buffers and state. The program itself never includes this header.
class ApplicationProbe {
 public:
  explicit ApplicationProbe(Application& app) : app_(app) {}

  RunController& controller() { return *app_.controller_; }
  platform::Window& mainWindow() { return *app_.main_; }
  platform::Window& optionsWindow() { return *app_.options_; }
  platform::Window& graphWindow() { return *app_.graph_; }
  platform::Window& playerPanel() { return *app_.playerPanel_; }
  platform::Window& busyIndicator() { return *app_.busy_; }
  platform::ListBox& playerList() { return *app_.playerList_; }
  platform::ListBox& graphList() { return *app_.graphList_; }
  /// The main window's button of the given control id; throws for an unknown id.
  platform::Button& mainButton(int id) {
    for (const Application::MainButton& b : app_.mainButtons_) {
      if (b.id == id && b.button) return *b.button;
    }
    throw std::invalid_argument("no main window button has id " + std::to_string(id));
  }
  platform::Button& graphOkButton() { return *app_.graphOk_; }
  OptionControls& optionControls() { return *app_.optionControls_; }
  /// The buffers; null before start-up and after shutdown.
  const platform::Buffer* statusBuffer() const { return app_.statusBuffer_.get(); }
  const platform::Buffer* playerBuffer() const { return app_.playerBuffer_.get(); }
  const platform::Buffer* graphBuffer() const { return app_.graphBuffer_.get(); }
  const BusyState& busyState() const { return app_.busyState_; }
  /// The graph shown in the graph window (0..7).
  int graphType() const { return app_.graphType_; }
  /// True once the drawing resources are gone: shutdown has run.
  bool shutDown() const { return app_.released_; }
  /// How often the status panel and the busy indicator have really been drawn.
  int panelDrawings() const { return app_.statusDrawings_; }
  int busyDrawings() const { return app_.busyDrawings_; }

 private:
  Application& app_;
};

}  // namespace kestravin::ui
