// The main window's frame: creation, the body's controls, the status bar, the hint handler,
// closing, and the plumbing the commands share.

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "bevel.h"
#include "block_list_box.h"
#include "card/file_io.h"
#include "card/formats/card_file.h"
#include "card/pocketstation.h"
#include "glyphs.h"
#include "hints.h"
#include "image_file_filters.h"
#include "platform_version.h"
#include "stretched_picture.h"
#include "transfer/form_look.h"
#include "transport/port.h"
#include "uFrmSobre.h"
#include "uVexilor.h"
#include "view/file_error_report.h"
#include "view/window_texts.h"

namespace {

// ";*.mc;*.mcr..." for every card image extension.
QString CardImagePatterns() {
  QString patterns;
  for (const CardFormatInfo& format : CardFormats()) {
    for (std::string_view extension : format.extensions) {
      patterns += QStringLiteral(";*.") + QLatin1String(extension.data(), extension.size());
    }
  }
  return patterns;
}

constexpr int kClientWidth = 432;
constexpr int kClientHeight = 329;
constexpr int kStatusBarHeight = 19;
constexpr int kTimer1Interval = 300;
constexpr int kLabelHeight = 13;
constexpr int kEditHeight = 21;
const QColor kSilver(0xC0, 0xC0, 0xC0);

struct DetailField {
  const char* caption;
  QPoint caption_at;
  QRect field;
};

// Edit1 .. Edit7, each under its caption in GroupBox2.
constexpr DetailField kDetailFields[] = {
    {"Product Code:", {8, 16}, {8, 30, 164, kEditHeight}},
    {"Game ID:", {8, 56}, {8, 72, 89, kEditHeight}},
    {"Blocos:", {104, 56}, {104, 72, 67, kEditHeight}},
    {"Tipo Ícone:", {8, 96}, {8, 112, 89, kEditHeight}},
    {"Localidade:", {104, 96}, {104, 112, 67, kEditHeight}},
    {"Estado do 'Save':", {8, 136}, {8, 152, 89, kEditHeight}},
    {"Checagem XOR:", {8, 176}, {8, 192, 89, kEditHeight}},
};

// The list sits in GroupBox1 so that its rows line up with the number labels beside it.
const QRect kListBox1(18, 15, 225, 201);
constexpr int kFirstNumberLabelTop = 17;
constexpr int kNumberLabelWidth = 14;
constexpr int kFirstNumberLabel = 12;

QLabel* NewLabel(QWidget* parent, const QString& name, const QString& text, QPoint at, int width) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setGeometry(at.x(), at.y(), width, kLabelHeight);
  return label;
}

// Every main window alive, oldest first, and the one whose command is running; the card
// operations' one message service reaches them through these.
std::vector<TForm1*>& LiveWindows() {
  static std::vector<TForm1*> windows;
  return windows;
}
TForm1* commanding_window = nullptr;
MessageBoxHandler handler_before_windows;

QGroupBox* NewGroupBox(QWidget* parent, const char* name, const char* caption, QRect geometry) {
  auto* box = new QGroupBox(QString::fromUtf8(caption), parent);
  box->setObjectName(QString::fromUtf8(name));
  box->setGeometry(geometry);
  UseFormGroupBoxStyle(*box);
  return box;
}

}  // namespace

TForm1::TForm1(UserDialogs& dialogs, ReaderAccess readers, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      document_(new CardDocument(this)),
      readers_(std::move(readers)),
      image_list1_(LoadCommandGlyphs()) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(WindowTexts::ProgramCaption);
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setFont(FormFont());
  setAcceptDrops(true);

  // The body holds the tool bar too: the window's client positions count from under the menu.
  body_ = new QWidget(this);
  body_->setFixedSize(kClientWidth, kClientHeight - kStatusBarHeight);
  setCentralWidget(body_);
  CreateMenuAndToolBar();
  CreateBody();
  CreateStatusBar();

  connect(document_, &CardDocument::Edited, this, &TForm1::RefreshBlockView);
  connect(document_, &CardDocument::ModifiedChanged, this, &TForm1::setWindowModified);

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(kTimer1Interval);
  connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);

  const QString current_folder = QStringLiteral(".");
  using Kind = FileDialogRequest::Kind;
  OpenDialog1 = {
      QStringLiteral("OpenDialog1"), Kind::Open, {}, ImageOpenFilter(), current_folder, {}};
  SaveDialog1 = {
      QStringLiteral("SaveDialog1"), Kind::Save, {}, ImageSaveFilter(), current_folder, {}, true};
  OpenDialog2 = {QStringLiteral("OpenDialog2"),
                 Kind::Open,
                 {},
                 WindowTexts::SingleSaveOpenFilter(CardImagePatterns()),
                 current_folder,
                 {}};
  SaveDialog2 = {QStringLiteral("SaveDialog2"),
                 Kind::Save,
                 {},
                 WindowTexts::SingleSaveExportFilter,
                 current_folder,
                 {},
                 true};
  SaveDialog3 = {QStringLiteral("SaveDialog3"), Kind::Save, {}, IconExportFilter(), {}, {}};

  // Card refusals are shown as boxes of the window that runs the command, while windows live.
  if (LiveWindows().empty()) {
    handler_before_windows =
        InstallMessageBox([](const std::string& text, const std::string& caption) {
          TForm1* window = MessageWindow();
          window->dialogs_.ShowMessage(window, QString::fromStdString(text),
                                       QString::fromStdString(caption));
        });
  }
  LiveWindows().push_back(this);

  layout()->setSizeConstraint(QLayout::SetFixedSize);
  FormCreate();
  adjustSize();
  CentreOnScreen(*this);
}

TForm1::~TForm1() {
  std::erase(LiveWindows(), this);
  if (commanding_window == this) commanding_window = nullptr;
  if (LiveWindows().empty()) InstallMessageBox(std::move(handler_before_windows));
}

TForm1* TForm1::MessageWindow() {
  if (commanding_window != nullptr) return commanding_window;
  const auto active = std::ranges::find(LiveWindows(), QApplication::activeWindow());
  return active != LiveWindows().end() ? *active : LiveWindows().back();
}

void TForm1::CreateBody() {
  GroupBox1 = NewGroupBox(body_, "GroupBox1", "Blocos do Memory Card:", {0, 30, 249, 222});
  for (int row = 0; row < SaveBlockCount; ++row) {
    QLabel* number = NewLabel(
        GroupBox1, QStringLiteral("Label%1").arg(kFirstNumberLabel + row), QString::number(row + 1),
        {kListBox1.left() - kNumberLabelWidth - 2, kFirstNumberLabelTop + row * ListRowHeight},
        kNumberLabelWidth);
    number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  auto* list = new BlockListBox(GroupBox1);
  connect(list, &BlockListBox::DragStarted, this,
          [this] { RunCommand([this] { StartSavesDrag(); }); });
  ListBox1 = list;
  ListBox1->setObjectName(QStringLiteral("ListBox1"));
  ListBox1->setGeometry(kListBox1);
  ListBox1->setUniformItemSizes(true);
  ListBox1->setSortingEnabled(false);
  ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ListBox1->setEnabled(false);
  connect(ListBox1, &QListWidget::currentRowChanged, this, &TForm1::ListBox1Click);

  GroupBox2 = NewGroupBox(body_, "GroupBox2", "Detalhes do 'Save':", {252, 30, 179, 222});
  int number = 1;
  for (const DetailField& detail : kDetailFields) {
    NewLabel(GroupBox2, QStringLiteral("Label%1").arg(number), QString::fromUtf8(detail.caption),
             detail.caption_at, detail.field.width())
        ->adjustSize();
    auto* edit = new QLineEdit(GroupBox2);
    edit->setObjectName(QStringLiteral("Edit%1").arg(number));
    edit->setGeometry(detail.field);
    edit->setReadOnly(true);
    edit->setAcceptDrops(false);  // a file dropped on a field goes to the window
    edit->setEnabled(false);
    QPalette silver = edit->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
      silver.setColor(group, QPalette::Base, kSilver);
    }
    edit->setPalette(silver);
    detail_edits_.push_back(edit);
    ++number;
  }
  Edit1 = detail_edits_[0];
  Edit2 = detail_edits_[1];
  Edit3 = detail_edits_[2];
  Edit4 = detail_edits_[3];
  Edit5 = detail_edits_[4];
  Edit6 = detail_edits_[5];
  Edit7 = detail_edits_[6];

  Bevel1 = new Bevel(Bevel::Edge::Lowered, Bevel::Edge::None, Bevel::Sides::Box, GroupBox2);
  Bevel1->setObjectName(QStringLiteral("Bevel1"));
  Bevel1->setGeometry(106, 148, 65, 65);
  Image1 = new StretchedPicture(GroupBox2);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(109, 151, 59, 59);
  Image1->hide();
  connect(Image1, &StretchedPicture::DoubleClicked, this,
          [this] { RunCommand([this] { Salvarcone1Click(); }); });

  GroupBox3 = NewGroupBox(body_, "GroupBox3", "Outras Informações:", {0, 252, 432, 57});
  // The source and the counters leave the right end to a PocketStation program's own icon.
  Label8 = NewLabel(GroupBox3, QStringLiteral("Label8"), {}, {4, 21}, 384);
  Label9 = NewLabel(GroupBox3, QStringLiteral("Label9"), {}, {4, 40}, 110);
  Label10 = NewLabel(GroupBox3, QStringLiteral("Label10"), {}, {116, 40}, 272);
  ImagePocketStation = new StretchedPicture(GroupBox3);
  ImagePocketStation->setObjectName(QStringLiteral("ImagePocketStation"));
  ImagePocketStation->setGeometry(394, 18, MonoIconSide, MonoIconSide);
  ImagePocketStation->setToolTip(QStringLiteral("Ícone da PocketStation"));
  ImagePocketStation->hide();
  TimerPocketStation = new QTimer(this);
  TimerPocketStation->setObjectName(QStringLiteral("TimerPocketStation"));
  connect(TimerPocketStation, &QTimer::timeout, this, &TForm1::TimerPocketStationTimer);
  ResetSourceInfo();
}

void TForm1::CreateStatusBar() {
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusBar1->setFixedHeight(kStatusBarHeight);
  StatusBar1->setSizeGripEnabled(false);
  status_panel_ = new QLabel(StatusBar1);
  status_panel_->setObjectName(QStringLiteral("StatusBar1Panel"));
  status_panel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  StatusBar1->addWidget(status_panel_, 1);
  setStatusBar(StatusBar1);
}

void TForm1::FormCreate() {
  const std::optional<unsigned long> platform_id = QueryPlatformId();
  LerMemoryCard1->setEnabled(true);
  DirectPortIO = DirectPortIOForPlatform(platform_id);
  hint_handler_installed_ = true;
}

void TForm1::ShowHintInStatusBar(const QString& hint) {
  status_panel_->setText(HintLongPart(hint));
}

bool TForm1::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip && hint_handler_installed_) {
    ShowHintInStatusBar(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  return QMainWindow::event(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
  // A failed save keeps the window open as Cancelar does: closing would lose the only copy.
  bool may_close = false;
  if (!RunCommand([this, &may_close] { may_close = MayDiscardImage(); }) || !may_close) {
    event->ignore();
    return;
  }
  Timer1->stop();
  event->accept();
}

void TForm1::Sair1Click() {
  close();
}

void TForm1::Sobre1Click() {
  if (about_box_ != nullptr) about_box_->exec();
}

bool TForm1::RunCommand(const std::function<void()>& command) {
  bool completed = true;
  struct Commanding {
    TForm1* outer;
    ~Commanding() { commanding_window = outer; }
  } const commanding{std::exchange(commanding_window, this)};
  try {
    command();
  } catch (const FileError& failure) {
    ReportFileError(dialogs_, this, failure);
    completed = false;
  }
  TakeBackFocus();
  return completed;
}

void TForm1::TakeBackFocus() {
  // A command's boxes and dialogs may have closed in an order that leaves no window active;
  // the keyboard must reach this window again without a click.
  if (isVisible() && QApplication::activeModalWidget() == nullptr) activateWindow();
}

std::optional<QString> TForm1::RunFileDialog(FileDialogRequest& dialog) {
  // Every dialog starts in the folder last used in any of them during this run; the name it
  // offers again is then taken without its own folder.
  FileDialogRequest shown = dialog;
  if (!last_folder_.isEmpty()) {
    shown.initial_folder = last_folder_;
    shown.file_name = QFileInfo(dialog.file_name).fileName();
  }
  std::optional<QString> chosen = dialogs_.ChooseFile(this, shown);
  dialog.filter_index = shown.filter_index;
  if (chosen) {
    dialog.file_name = *chosen;
    last_folder_ = dialog.kind == FileDialogRequest::Kind::Folder
                       ? *chosen
                       : QFileInfo(*chosen).absolutePath();
  }
  return chosen;
}

int TForm1::SelectedSaveStart() {
  const int block = SelectedBlock();
  if (IsSaveBlock(block) && GetBlockState(document_->Image(), block) == BlockState::InUseFirst)
    return block;
  dialogs_.ShowMessage(this, WindowTexts::SelectFirstBlockRefusal, WindowTexts::AttentionCaption);
  return 0;
}

int TForm1::SelectedIndex() const {
  return ListBox1->currentRow();
}

void TForm1::SelectLine(int index) {
  const QSignalBlocker by_program(ListBox1);
  ListBox1->setCurrentRow(index);
  ListBox1->setFocus();
}
