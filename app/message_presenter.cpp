#include "app/message_presenter.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <algorithm>

#include "app/qt_text.h"

namespace korvane {

void BoxPresenter::Show(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, U(Tx::AppTitle), text, QMessageBox::Ok, parent);
  box.setDefaultButton(QMessageBox::Ok);
  box.button(QMessageBox::Ok)->setText(U(Tx::OkButton));
  m_open.emplace_back(&box);
  box.exec();
  std::erase_if(m_open, [&](const QPointer<QMessageBox>& p) { return p.isNull() || p.data() == &box; });
}

void BoxPresenter::CloseAll() {
  for (QPointer<QMessageBox>& p : m_open)
    if (p) p->done(QMessageBox::Ok);
}

}  // namespace korvane
