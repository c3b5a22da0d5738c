#include "app/dialog_commands.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <charconv>
#include <optional>

#include "app/korvane_view.h"
#include "app/qt_text.h"
#include "texts/settings_texts.h"
#include "texts/ui_texts.h"
#include "ui_model/history_export.h"
#include "ui_model/weights_choice.h"

namespace korvane {

DialogCommands::DialogCommands(CKorvaneView* view) : QObject(view), m_view(view) {}

void DialogCommands::OnLoadWeights() {
  if (!m_view->Runs().MayChangeWeights()) return;
  const QString path = QFileDialog::getOpenFileName(m_view->window(), U(text::MenuLoadWeights), QDir::currentPath(),
                                                    U(text::WeightsFilter));
  if (path.isEmpty()) return;
  // A file of several blocks: the user picks one, the last by default.
  std::optional<int> block;
  const std::vector<std::string> blocks = WeightsBlockChoices(path.toStdString());
  if (blocks.size() > 1) {
    QStringList items;
    for (const std::string& b : blocks) items << U(b);
    bool ok = false;
    const QString chosen = QInputDialog::getItem(m_view->window(), U(text::ChooseBlockTitle), U(text::ChooseBlockLabel),
                                                 items, static_cast<int>(items.size()) - 1, false, &ok);
    if (!ok) return;
    block = static_cast<int>(items.indexOf(chosen)) + 1;
  }
  m_view->Runs().LoadWeights(path.toStdString(), block);
}

void DialogCommands::OnSaveWeights() {
  if (!m_view->Runs().MayChangeWeights()) return;
  const QString path = QFileDialog::getSaveFileName(m_view->window(), U(text::MenuSaveWeights),
                                                    QDir::current().filePath(QStringLiteral("weights.txt")),
                                                    U(text::WeightsFilter), nullptr, QFileDialog::DontConfirmOverwrite);
  if (!path.isEmpty()) m_view->Runs().SaveWeights(path.toStdString());
}

void DialogCommands::OnSetSeed() {
  bool ok = false;
  const QString typed = QInputDialog::getText(m_view->window(), U(text::MenuSetSeed), U(text::SeedDialogLabel),
                                              QLineEdit::Normal, QString(), &ok);
  if (!ok) return;
  const std::string t = typed.trimmed().toStdString();
  std::uint32_t seed = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), seed);
  if (t.empty() || ec != std::errc() || end != t.data() + t.size()) {
    m_view->ShowMessage(MsgTypeInteger);
    return;
  }
  m_view->Runs().SetNextSeed(seed);
}

void DialogCommands::OnExportChart() {
  const QString path = QFileDialog::getSaveFileName(m_view->window(), U(text::MenuExportChart),
                                                    QDir::current().filePath(QStringLiteral("korvane-chart.png")),
                                                    U(text::ChartFilter));
  if (!path.isEmpty() && !m_view->ComposeScene().save(path, "PNG")) m_view->ShowMessage(text::ExportFailed);
}

void DialogCommands::OnExportHistory() {
  if (!m_view->State().LastHistory()) {
    m_view->ShowMessage(text::NothingToExport);
    return;
  }
  const QString path = QFileDialog::getSaveFileName(m_view->window(), U(text::MenuExportHistory),
                                                    QDir::current().filePath(QStringLiteral("korvane-history.csv")),
                                                    U(text::HistoryFilter));
  if (path.isEmpty()) return;
  QFile file(path);
  const QByteArray csv = QByteArray::fromStdString(HistoryCsv(*m_view->State().LastHistory(), m_view->State().LastHistoryIsPlanSearch()));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(csv) != csv.size() || !file.flush())
    m_view->ShowMessage(text::ExportFailed);
}

}  // namespace korvane
