#include "app/deferred_close.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <cstring>

#ifdef KORVANE_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace korvane {
namespace {

#ifdef KORVANE_HAVE_XCB
std::uint32_t InternAtom(xcb_connection_t* c, const char* name) {
  const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
  if (!reply) return 0;
  const std::uint32_t atom = reply->atom;
  std::free(reply);
  return atom;
}
#endif

}  // namespace

DeferredClose::DeferredClose(QWidget* window) : QObject(window), m_window(window) {
  window->installEventFilter(this);
#ifdef KORVANE_HAVE_XCB
  auto* app = qGuiApp;
  auto* x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  // The offscreen platform answers for X11 too, with no connection.
  if (xcb_connection_t* c = x11 ? x11->connection() : nullptr) {
    m_protocolsAtom = InternAtom(c, "WM_PROTOCOLS");
    m_deleteAtom = InternAtom(c, "WM_DELETE_WINDOW");
    if (m_protocolsAtom && m_deleteAtom) QCoreApplication::instance()->installNativeEventFilter(this);
  }
#endif
}

DeferredClose::~DeferredClose() {
  if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool DeferredClose::Request() {
  const QWindow* modal = QGuiApplication::modalWindow();
  if (!modal || modal == m_window->windowHandle()) return false;
  m_pending = true;
  return true;
}

bool DeferredClose::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
#ifdef KORVANE_HAVE_XCB
  if (eventType != "xcb_generic_event_t" || !m_window->internalWinId()) return false;
  const auto* ev = static_cast<const xcb_generic_event_t*>(message);
  if ((ev->response_type & 0x7f) != XCB_CLIENT_MESSAGE) return false;
  const auto* cm = static_cast<const xcb_client_message_event_t*>(message);
  if (cm->format == 32 && cm->window == m_window->internalWinId() && cm->type == m_protocolsAtom &&
      cm->data.data32[0] == m_deleteAtom)
    Request();
#else
  (void)eventType;
  (void)message;
#endif
  return false;  // Qt goes on as it would
}

bool DeferredClose::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_window && event->type() == QEvent::WindowUnblocked && m_pending) {
    m_pending = false;
    // After the box's own loop has returned, as any close request is handled.
    QMetaObject::invokeMethod(m_window, &QWidget::close, Qt::QueuedConnection);
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace korvane
