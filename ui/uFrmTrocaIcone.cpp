#include "uFrmTrocaIcone.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QTimer>

#include "dialog_buttons.h"
#include "pictures/icon_pictures.h"
#include "stretched_picture.h"

namespace {

constexpr int kShownSide = 59;  // as the main window shows an icon
// Both icons step together, at the console's pace for three frames.
constexpr int kPacedFrames = 3;

}  // namespace

TFrmTrocaIcone::TFrmTrocaIcone(std::vector<QImage> current, std::vector<QImage> replacement,
                               QWidget* parent)
    : QDialog(parent), current_(std::move(current)), replacement_(std::move(replacement)) {
  setObjectName(QStringLiteral("FrmTrocaIcone"));
  setWindowTitle(QStringLiteral("Trocar Ícone"));
  auto* layout = new QGridLayout(this);
  auto add_icon = [&](const char* name, const char* caption, int column) {
    auto* label = new QLabel(QString::fromUtf8(caption), this);
    layout->addWidget(label, 0, column, Qt::AlignHCenter);
    auto* picture = new StretchedPicture(this);
    picture->setObjectName(QString::fromUtf8(name));
    picture->setFixedSize(kShownSide, kShownSide);
    layout->addWidget(picture, 1, column, Qt::AlignHCenter);
    return picture;
  };
  ImageAtual = add_icon("ImageAtual", "Atual", 0);
  ImageNova = add_icon("ImageNova", "Novo", 1);
  layout->addWidget(NewOkCancelButtons(*this, QStringLiteral("Trocar")), 2, 0, 1, 2);
  Timer1 = new QTimer(this);
  connect(Timer1, &QTimer::timeout, this, [this] {
    ++phase_;
    Step();
  });
  Step();
  if (current_.size() > 1 || replacement_.size() > 1) Timer1->start(IconFrameDelayMs(kPacedFrames));
}

void TFrmTrocaIcone::Step() {
  if (!current_.empty()) ImageAtual->SetPicture(current_[phase_ % current_.size()]);
  if (!replacement_.empty()) ImageNova->SetPicture(replacement_[phase_ % replacement_.size()]);
}
