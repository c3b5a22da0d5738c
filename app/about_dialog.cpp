#include "app/about_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "app/scene_renderer.h"
#include "texts/version_texts.h"

namespace korvane {

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(U(Tx::AboutTitle));

  auto* icon = new QLabel(this);
  icon->setPixmap(QPixmap::fromImage(SceneRenderer::LoadPicture(":/res/lifeboat.png"))
                      .scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  icon->setAlignment(Qt::AlignTop);

  auto* version = new QLabel(U(Tx::AboutVersion), this);
  version->setObjectName(QStringLiteral("version"));
  auto* about = new QLabel(U(Tx::AboutText), this);
  about->setObjectName(QStringLiteral("description"));
  about->setWordWrap(true);
  about->setFixedWidth(420);

  // The build's own version, after the texts the box has always shown.
  auto* build = new QLabel(U(text::AboutBuild()), this);
  build->setObjectName(QStringLiteral("build"));
  // What the classroom adds, after the rest.
  auto* classroom = new QLabel(U(Tx::AboutClassroom), this);
  classroom->setObjectName(QStringLiteral("classroom"));
  classroom->setWordWrap(true);
  classroom->setFixedWidth(420);

  auto* ok = new QPushButton(U(Tx::OkButton), this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* texts = new QVBoxLayout;
  texts->addWidget(version);
  texts->addSpacing(8);
  texts->addWidget(about);
  texts->addSpacing(8);
  texts->addWidget(build);
  texts->addSpacing(8);
  texts->addWidget(classroom);

  auto* top = new QHBoxLayout;
  top->addWidget(icon);
  top->addSpacing(12);
  top->addLayout(texts);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace korvane
