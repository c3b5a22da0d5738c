#pragma once
#include <QDialog>
#include <array>
#include <map>
#include <memory>

#include "app/message_presenter.h"
#include "sim/params.h"
#include "ui_model/settings_form.h"

class QCheckBox;
class QLineEdit;
class QTabWidget;

namespace korvane {

// The settings sheet "参数设置": three tabs of fields over a copy of the
// settings. Only the pages the user has shown are read back on OK, so a
// page never opened leaves its settings alone.
class CPropSheet : public QDialog {
  Q_OBJECT

 public:
  // presenter shows the refusal messages; null means message boxes.
  CPropSheet(const SimParams& params, IMessagePresenter* presenter = nullptr, QWidget* parent = nullptr);
  ~CPropSheet() override;

  // The settings with every shown page written; meaningful after OK.
  const SimParams& Result() const { return m_result; }

  QTabWidget* Tabs() const { return m_tabs; }
  QLineEdit* Edit(int page, int controlId) const;
  QCheckBox* Check(int page, int controlId) const;
  bool PageShown(int page) const { return m_shown.at(static_cast<std::size_t>(page)); }

  void accept() override;

 private:
  QWidget* BuildPage(int page, const SimParams& params);
  std::map<int, FieldInput> Inputs(int page) const;
  // Reads a page onto params; on a refusal shows the message, brings the
  // page forward and selects the field.
  bool ReadPage(int page, SimParams& params);
  void OnTabChanged(int index);

  SimParams m_original;
  SimParams m_result;
  QTabWidget* m_tabs = nullptr;
  std::array<std::map<int, QLineEdit*>, SettingsPageCount> m_edits;
  std::array<std::map<int, QCheckBox*>, SettingsPageCount> m_checks;
  std::array<bool, SettingsPageCount> m_shown{};
  int m_current = 0;
  bool m_switching = false;
  IMessagePresenter* m_presenter;
  std::unique_ptr<IMessagePresenter> m_ownPresenter;
};

// Runs the sheet modally over params; true when the user chose OK (params
// then hold the new values), false when nothing was written.
bool EditSettings(QWidget* parent, SimParams& params, IMessagePresenter* presenter = nullptr);

}  // namespace korvane
