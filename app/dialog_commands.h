#pragma once
#include <QObject>
#include <QString>
#include <functional>

namespace korvane {

class CKorvaneView;

// The commands that ask the user something first (a file, a block, a seed)
// before they go to the view or the run manager.
class DialogCommands : public QObject {
  Q_OBJECT
 public:
  explicit DialogCommands(CKorvaneView* view);

  // Where to save, asked with a title, a suggested path and a filter; empty
  // when the user gives up. appends: the file is added to, not replaced, so
  // an existing one needs no confirmation. Replaceable, so tests answer.
  using SavePathAsker =
      std::function<QString(const QString& title, const QString& suggested, const QString& filter, bool appends)>;
  void SetSavePathAsker(SavePathAsker asker) { m_askSavePath = std::move(asker); }

 public slots:
  void OnLoadWeights();     // 载入权重文件…
  void OnSaveWeights();     // 保存当前权重…
  void OnSetSeed();         // 设定下一次的种子…
  void OnExportChart();     // 导出图表为PNG…
  void OnExportHistory();   // 导出历史为CSV…
  void OnOpenReportPlot();  // 打开实验报告图…

 private:
  // Replaces the file with these bytes; false, with the box shown, when it
  // cannot be written whole.
  bool Export(const QString& path, const QByteArray& bytes);

  CKorvaneView* m_view;
  SavePathAsker m_askSavePath;
};

}  // namespace korvane
