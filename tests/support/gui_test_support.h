#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "app/message_presenter.h"
#include "app/qt_text.h"
#include "ui_model/view_state.h"

namespace korvane::test {

// Records every message instead of showing a box, and lets a test act at
// the moment a box would be open.
class RecordingPresenter : public IMessagePresenter {
 public:
  explicit RecordingPresenter(std::shared_ptr<QStringList> log, std::function<void(const QString&)> onShow = {})
      : m_log(std::move(log)), m_onShow(std::move(onShow)) {}
  void Show(QWidget*, const QString& text) override {
    m_log->push_back(text);
    if (m_onShow) m_onShow(text);
  }
  void CloseAll() override {}

 private:
  std::shared_ptr<QStringList> m_log;
  std::function<void(const QString&)> m_onShow;
};

using korvane::U;

// Changes the view's lifeboat, as a flight would have left it.
template <typename Change>
void ChangeLifeboat(ViewState& state, Change change) {
  CLifeboat boat = state.Lifeboat();
  change(boat);
  state.SetLifeboat(boat);
}

}  // namespace korvane::test
