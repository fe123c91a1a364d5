#include "uFrmSobre.h"

#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <algorithm>

#include "bevel.h"
#include "glyphs.h"
#include "stretched_picture.h"
#include "transfer/form_look.h"

namespace {

constexpr QSize kClientSize(267, 323);
constexpr int kLabelHeight = 13;
constexpr int kMemoMargin = 2;
constexpr int kSmallestMemoPixels = 9;

// The description, line by line as stored; the memo wraps what does not fit.
const QStringList kMemoLines = {
    QStringLiteral("Este programa é um Gerenciador de "),
    QStringLiteral("Memory Cards para Playstation."),
    QString(),
    QStringLiteral("Com ele você pode ler e gravar seus Memory "),
    QStringLiteral("Cards através do computador "),
    QStringLiteral("utilizando um cabo especial, que você mesmo pode "),
    QStringLiteral("construir, chamado DirectPad Pro."),
    QString(),
    QStringLiteral("Como montar o cabo DirectPad Pro: leia "),
    QStringLiteral("o arquivo docs/cabo.md que acompanha o "),
    QStringLiteral("Vexilor, com a ligação de cada pino."),
};

// The stored lines were laid out for the original face; where the substitute is wider, the
// memo's text is made just small enough that no stored line is broken in two.
QFont MemoFont(QFont font, int text_width) {
  auto widest = [&](const QFont& candidate) {
    const QFontMetrics metrics(candidate);
    int width = 0;
    for (const QString& line : kMemoLines) width = std::max(width, metrics.horizontalAdvance(line));
    return width;
  };
  while (widest(font) > text_width && font.pixelSize() > kSmallestMemoPixels) {
    font.setPixelSize(font.pixelSize() - 1);
  }
  return font;
}

QLabel* NewLabel(QWidget* parent, const char* name, const QString& text, QPoint at) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromUtf8(name));
  label->move(at);
  label->resize(label->sizeHint().width(), kLabelHeight);
  return label;
}

// The 16-colour icon on the box's face colour, as a 24-bit picture.
QImage OpaqueProgramPicture(const QColor& background) {
  const QImage icon = ProgramPicture();
  QImage picture(icon.size(), QImage::Format_RGB888);
  picture.fill(background);
  QPainter painter(&picture);
  painter.drawImage(0, 0, icon);
  return picture;
}

}  // namespace

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("Sobre o Vexilor..."));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setFont(FormFont());
  setFixedSize(kClientSize);

  Panel1 = new Bevel(Bevel::Edge::Lowered, Bevel::Edge::Raised, Bevel::Sides::Box, this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setGeometry(0, 1, 265, 294);
  Bevel1 = new Bevel(Bevel::Edge::Raised, Bevel::Edge::None, Bevel::Sides::Box, Panel1);
  Bevel1->setObjectName(QStringLiteral("Bevel1"));
  Bevel1->setGeometry(5, 7, 60, 58);
  Image1 = new StretchedPicture(Panel1);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(9, 10, 52, 52);
  Image1->SetPicture(OpaqueProgramPicture(palette().color(QPalette::Window)));

  Label1 = NewLabel(Panel1, "Label1", QStringLiteral("Vexilor"), {71, 9});
  Label2 = NewLabel(Panel1, "Label2", QStringLiteral("Versão 1.2"), {127, 9});
  Label3 = NewLabel(Panel1, "Label3", QStringLiteral("2026, desenvolvedores do Vexilor"), {71, 23});
  Label5 = NewLabel(Panel1, "Label5", QStringLiteral("Documentação: README.md"), {71, 38});
  Label4 = NewLabel(Panel1, "Label4", QStringLiteral("Cabo: docs/cabo.md"), {71, 51});

  Panel2 = new Bevel(Bevel::Edge::Raised, Bevel::Edge::None, Bevel::Sides::Box, Panel1);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  Panel2->setGeometry(5, 73, 255, 217);
  Memo1 = new QPlainTextEdit(Panel2);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setGeometry(6, 2, 244, 211);
  Memo1->setReadOnly(true);
  Memo1->setFrameShape(QFrame::NoFrame);
  Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo1->document()->setDocumentMargin(kMemoMargin);
  Memo1->setFont(MemoFont(font(), Memo1->width() - 2 * kMemoMargin));
  Memo1->setPlainText(kMemoLines.join(u'\n'));
  QPalette memo_palette = Memo1->palette();
  memo_palette.setColor(QPalette::Base, palette().color(QPalette::Button));
  Memo1->setPalette(memo_palette);

  Button1 = new QPushButton(QStringLiteral("&Fechar"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(93, 297, 75, 25);
  Button1->setDefault(true);
  Button1->setAutoDefault(true);
  connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);

  CentreOnScreen(*this);
}

// Enter reaches the default button only while the read-only memo does not hold the focus.
void TForm2::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Button1->setFocus();
}

void TForm2::Button1Click() {
  accept();
}
