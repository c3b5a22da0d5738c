#include "app/settings_sheet.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <optional>

#include "app/qt_text.h"

namespace korvane {
CPropSheet::CPropSheet(const SimParams& params, IMessagePresenter* presenter, QWidget* parent)
    : QDialog(parent), m_original(params), m_result(params), m_presenter(presenter) {
  if (!m_presenter) {
    m_ownPresenter = std::make_unique<BoxPresenter>();
    m_presenter = m_ownPresenter.get();
  }
  setWindowTitle(U(Tx::SettingsSheetTitle));
  m_tabs = new QTabWidget(this);
  for (int page = 0; page < SettingsPageCount; ++page)
    m_tabs->addTab(BuildPage(page, params), U(SettingsPageTitles[page]));
  m_tabs->setCurrentIndex(0);
  m_shown[0] = true;
  connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) { OnTabChanged(index); });

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(U(Tx::OkButton));
  buttons->button(QDialogButtonBox::Cancel)->setText(U(Tx::CancelButton));
  connect(buttons, &QDialogButtonBox::accepted, this, &CPropSheet::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CPropSheet::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_tabs);
  layout->addWidget(buttons);
}

CPropSheet::~CPropSheet() = default;

QWidget* CPropSheet::BuildPage(int page, const SimParams& params) {
  auto* widget = new QWidget;
  auto* columns = new QHBoxLayout(widget);
  auto* left = new QVBoxLayout;
  auto* right = new QVBoxLayout;
  columns->addLayout(left);
  columns->addLayout(right);

  // Fields come in display order; a new group title opens a new box. Groups
  // holding inner groups go to the right-hand column.
  std::optional<Tx> outerTitle, innerTitle;
  QVBoxLayout* outerBody = nullptr;
  QFormLayout* form = nullptr;
  for (const SettingsField& f : SettingsFields()) {
    if (f.page != page) continue;
    if (outerTitle != f.group) {
      outerTitle = f.group;
      innerTitle.reset();
      form = nullptr;
      outerBody = nullptr;
      if (f.group != Tx::None) {
        auto* box = new QGroupBox(U(f.group));
        outerBody = new QVBoxLayout(box);
        (f.inner != Tx::None ? right : left)->addWidget(box);
      }
    }
    if (outerBody && innerTitle != f.inner) {
      innerTitle = f.inner;
      form = new QFormLayout;
      if (f.inner != Tx::None) {
        auto* inner = new QGroupBox(U(f.inner));
        inner->setLayout(form);
        outerBody->addWidget(inner);
      } else {
        outerBody->addLayout(form);
      }
    }

    if (f.kind == SettingKind::Check) {
      auto* check = new QCheckBox(U(f.label));
      check->setChecked(SettingsFieldChecked(params, f));
      if (form)
        form->addRow(check);
      else
        left->addWidget(check);
      m_checks[static_cast<std::size_t>(page)][f.controlId] = check;
    } else {
      auto* edit = new QLineEdit(QString::fromStdString(SettingsFieldText(params, f)));
      edit->setObjectName(QStringLiteral("field%1_%2").arg(page).arg(f.controlId));
      edit->setMaximumWidth(140);
      form->addRow(new QLabel(U(f.label)), edit);
      m_edits[static_cast<std::size_t>(page)][f.controlId] = edit;
    }
  }
  left->addStretch();
  right->addStretch();
  return widget;
}

QLineEdit* CPropSheet::Edit(int page, int controlId) const {
  const auto& edits = m_edits.at(static_cast<std::size_t>(page));
  auto it = edits.find(controlId);
  return it == edits.end() ? nullptr : it->second;
}

QCheckBox* CPropSheet::Check(int page, int controlId) const {
  const auto& checks = m_checks.at(static_cast<std::size_t>(page));
  auto it = checks.find(controlId);
  return it == checks.end() ? nullptr : it->second;
}

std::map<int, FieldInput> CPropSheet::Inputs(int page) const {
  std::map<int, FieldInput> in;
  for (const auto& [id, edit] : m_edits.at(static_cast<std::size_t>(page))) in[id].text = edit->text().toStdString();
  for (const auto& [id, check] : m_checks.at(static_cast<std::size_t>(page))) in[id].checked = check->isChecked();
  return in;
}

bool CPropSheet::ReadPage(int page, SimParams& params) {
  const PageReadResult r = ReadSettingsPage(page, Inputs(page), params);
  if (r.ok) return true;
  if (m_tabs->currentIndex() != page) {
    m_switching = true;
    m_tabs->setCurrentIndex(page);
    m_current = page;
    m_switching = false;
  }
  m_presenter->Show(this, QString::fromStdString(r.message));
  if (QLineEdit* edit = Edit(page, r.controlId)) {
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
  }
  return false;
}

void CPropSheet::OnTabChanged(int index) {
  if (m_switching) return;
  // The page being left must hold valid values, or the user stays on it.
  SimParams scratch = m_original;
  if (!ReadPage(m_current, scratch)) return;
  m_current = index;
  m_shown[static_cast<std::size_t>(index)] = true;
}

void CPropSheet::accept() {
  // Page by page, the current one first; nothing is kept unless all pass.
  SimParams result = m_original;
  if (!ReadPage(m_current, result)) return;
  for (int page = 0; page < SettingsPageCount; ++page)
    if (page != m_current && m_shown[static_cast<std::size_t>(page)] && !ReadPage(page, result)) return;
  m_result = result;
  QDialog::accept();
}

bool EditSettings(QWidget* parent, SimParams& params, IMessagePresenter* presenter) {
  CPropSheet sheet(params, presenter, parent);
  if (sheet.exec() != QDialog::Accepted) return false;
  params = sheet.Result();
  return true;
}

}  // namespace korvane
