#pragma once
#include <QAbstractNativeEventFilter>
#include <QObject>
#include <cstdint>

class QWidget;

namespace korvane {

// The window system's request to close a window (its close button, Alt+F4)
// while a modal box blocks that window: Qt drops such a request, so it is
// kept here and the window closes as soon as nothing blocks it any more.
// The requests are seen on X11; elsewhere Qt's own rule stands.
class DeferredClose : public QObject, public QAbstractNativeEventFilter {
 public:
  explicit DeferredClose(QWidget* window);
  ~DeferredClose() override;

  // A close request for the window arrived. Kept, and true, while a modal
  // window blocks it; otherwise Qt delivers the request itself.
  bool Request();
  bool Pending() const { return m_pending; }

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* m_window;
  bool m_pending = false;
  // The X11 atoms of the request; 0 without X11.
  std::uint32_t m_protocolsAtom = 0;
  std::uint32_t m_deleteAtom = 0;
};

}  // namespace korvane
