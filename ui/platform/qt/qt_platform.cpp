#include "ui/platform/qt/qt_platform.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QMessageBox>
#include <cstdlib>
#include <set>
#include <thread>

#include "ui/platform/qt/qt_convert.h"
#include "ui/platform/qt/qt_surface.h"
#include "ui/platform/qt/qt_window.h"

namespace kestravin::platform {

namespace {

class QtPlatform : public Platform {
 public:
  QtPlatform(int& argc, char** argv) : app_(argc, argv) {
    QApplication::setQuitOnLastWindowClosed(false);
    dispatcher_ = QAbstractEventDispatcher::instance();
  }

  bool registerClass(const std::string& name) override {
    classes_.insert(name);
    return true;
  }

  std::unique_ptr<Window> createWindow(const WindowSpec& desc) override {
    if (!classes_.count(desc.className)) return nullptr;
    QtWindow* parent = nullptr;
    if (desc.kind == WindowKind::kChild) {
      if (!desc.parent) return nullptr;
      parent = static_cast<QtWindow*>(desc.parent);
    }
    auto window = std::make_unique<QtWindow>(desc, parent);
    if (parent) parent->adopt(window.get());
    return window;
  }

  std::unique_ptr<Buffer> createBuffer(Size size) override {
    return std::make_unique<ImageSurface>(size);
  }

  std::unique_ptr<Font> createFont(const FontSpec& desc) override {
    return std::make_unique<QtFont>(desc);
  }

  void messageBox(const std::string& text, const std::string& caption) override {
    QMessageBox box(QMessageBox::NoIcon, toQt(caption), toQt(text), QMessageBox::Ok);
    box.exec();
  }

  void askOkCancel(const std::string& text, const std::string& caption,
                   std::function<void(bool ok)> answer) override {
    QMessageBox box(QMessageBox::NoIcon, toQt(caption), toQt(text),
                    QMessageBox::Ok | QMessageBox::Cancel);
    answer(box.exec() == QMessageBox::Ok);
  }

  bool processEvents(bool wait) override {
    if (quit_) return true;
    QCoreApplication::processEvents(wait ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
    return quit_;
  }

  void postQuit() override {
    quit_ = true;
    wake();
  }

  void wake() override {
    if (dispatcher_) dispatcher_->wakeUp();
  }

  void yield() override { std::this_thread::yield(); }

 private:
  QApplication app_;
  QAbstractEventDispatcher* dispatcher_ = nullptr;
  std::set<std::string> classes_;
  bool quit_ = false;
};

bool haveDisplay() {
#if defined(__linux__) || defined(__FreeBSD__)
  const auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
  };
  return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
#else
  return true;
#endif
}

}  // namespace

PlatformResult makeQtPlatform(int& argc, char** argv) {
  if (!haveDisplay()) {
    return {nullptr,
            "No display to show the windows on: run it in a desktop session, or as "
            "'xvfb-run -a kestravin' (package xvfb)."};
  }
  return {std::make_unique<QtPlatform>(argc, argv), {}};
}

}  // namespace kestravin::platform
