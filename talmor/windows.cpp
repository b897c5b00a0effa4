#include "talmor/windows.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QSignalBlocker>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QTextCursor>
#include <QVBoxLayout>
#include <cstdlib>
#include <memory>

#include "geodesy/text.h"
#include "map/map_tile.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/qtext.h"
#include "talmor/file_converters.h"
#include "talmor/tile_converter.h"
#include "settings/text_files.h"

namespace talmor {

using zeblon::Trim;

namespace {

constexpr std::size_t kProgressLimit = 4000;
const char kWarning[] = "WARNING!";

void Warn(const std::string& text) {
  platform::MsgBox(text, kWarning, platform::MsgButtons::Ok, platform::MsgIcon::Exclamation);
}

QString ForDisplay(const std::string& text) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) shown += text[i];
  return platform::ToQ(shown);
}

void UseToolFont(QWidget* w) { w->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont)); }

std::vector<std::string> DriveRoots() {
  std::vector<std::string> roots{"/"};
  if (const char* home = std::getenv("HOME"); home && *home) roots.push_back(home);
  std::error_code ec;
  const fs::path drive_c = platform::ProgramFolder() / "drive_c";
  if (fs::is_directory(drive_c, ec)) roots.push_back(drive_c.string());
  return roots;
}

// Shows in the drive list the root that holds the folder list's folder.
void FollowFolder(platform::ComboBox* drive, FolderList* dir) {
  int best = -1;
  std::size_t best_length = 0;
  for (int i = 0; i < drive->ListCount(); ++i)
    if (platform::PathInside(dir->Path(), drive->List(i)) && drive->List(i).size() >= best_length)
      best = i, best_length = drive->List(i).size();
  const QSignalBlocker quiet(drive);
  drive->setCurrentIndex(best);
}

void FillDrives(platform::ComboBox* drive, FolderList* dir) {
  drive->setEditable(false);
  for (const auto& root : DriveRoots()) drive->AddItem(root);
  dir->OnShown = [drive, dir] { FollowFolder(drive, dir); };
  FollowFolder(drive, dir);
  drive->OnClick = [drive, dir] {
    // A root that cannot be read: back to the one of the folder list.
    if (!dir->SetPath(drive->List(drive->ListIndex()))) FollowFolder(drive, dir);
  };
}

}  // namespace

// ---------------------------------------------------------------------------

FolderList::FolderList(QWidget* parent, const char* name) : QListWidget(parent) {
  setObjectName(name);
  path_ = fs::current_path();
  SetPath(path_);
  connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    if (row(item) == 0) return;  // the folder itself
    const std::string entry = platform::FromQ(item->text());
    SetPath(entry == ".." ? path_.parent_path() : path_ / entry);
  });
}

bool FolderList::SetPath(const fs::path& path) {
  std::error_code ec;
  fs::path target = fs::weakly_canonical(path, ec);
  if (ec || !fs::is_directory(target, ec)) return false;
  std::vector<std::string> folders;
  fs::directory_iterator it(target, ec);
  if (ec) return false;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    std::error_code kind;
    const std::string name = it->path().filename().string();
    if (!name.empty() && name[0] != '.' && it->is_directory(kind)) folders.push_back(name);
  }
  std::sort(folders.begin(), folders.end());
  clear();
  addItem(platform::ToQ(target.string()));  // the folder itself, then its parent and subfolders
  item(0)->setFlags(Qt::ItemIsEnabled);
  QFont bold = font();
  bold.setBold(true);
  item(0)->setFont(bold);
  if (target.has_parent_path() && target != target.root_path()) addItem("..");
  for (const auto& f : folders) addItem(platform::ToQ(f));
  const bool changed = target != path_;
  path_ = target;
  setToolTip(platform::ToQ(path_.string()));
  if (OnShown) OnShown();
  if (changed && OnChange) OnChange();
  return true;
}

// ---------------------------------------------------------------------------

ConverterWindow::ConverterWindow(Tool& tool, const char* name, const std::string& caption, const std::string& heading)
    : tool_(tool) {
  setObjectName(name);
  setWindowTitle(platform::ToQ(caption));
  UseToolFont(this);
  auto* layout = new QVBoxLayout(this);
  Label4 = new platform::Label(this, "Label4", heading);
  layout->addWidget(Label4);
  auto* folders = new QGridLayout;
  Label2 = new platform::Label(this, "Label2", "SOURCE PATH:");
  Label3 = new platform::Label(this, "Label3", "DESTINATION PATH:");
  Drive1 = new platform::ComboBox(this, "Drive1");
  Drive2 = new platform::ComboBox(this, "Drive2");
  Dir1 = new FolderList(this, "Dir1");
  Dir2 = new FolderList(this, "Dir2");
  FillDrives(Drive1, Dir1);
  FillDrives(Drive2, Dir2);
  folders->addWidget(Label2, 0, 0);
  folders->addWidget(Drive1, 1, 0);
  folders->addWidget(Dir1, 2, 0);
  folders->addWidget(Label3, 0, 1);
  folders->addWidget(Drive2, 1, 1);
  folders->addWidget(Dir2, 2, 1);
  layout->addLayout(folders);
  auto* options = new QVBoxLayout;
  options_area_ = options;
  layout->addLayout(options);
  Check1 = new platform::CheckBox(this, "Check1", "DELETE CONVERTED SOURCE FILES");
  layout->addWidget(Check1);
  Label6 = new platform::Label(this, "Label6", "INFO:");
  layout->addWidget(Label6);
  Text2 = new platform::TextArea(this, "Text2");
  Text2->setReadOnly(true);
  Text2->setMinimumHeight(220);
  layout->addWidget(Text2);
  auto* buttons = new QHBoxLayout;
  Command2 = new platform::CommandButton(this, "Command2", "BACK");
  Command1 = new platform::CommandButton(this, "Command1", "START");
  buttons->addWidget(Command2);
  buttons->addWidget(Command1);
  layout->addLayout(buttons);
}

void ConverterWindow::SetProgress(std::string text) {
  KeepProgress(std::move(text));
  ShowProgress();
}

void ConverterWindow::KeepProgress(std::string text) {
  if (text.size() > kProgressLimit) text.erase(0, text.size() - kProgressLimit);
  progress_ = std::move(text);
  progress_shown_ = false;
}

void ConverterWindow::ShowProgress() {
  if (progress_shown_) return;
  Text2->setPlainText(ForDisplay(progress_));
  Text2->moveCursor(QTextCursor::End);  // the newest line shows
  progress_shown_ = true;
}

void ConverterWindow::AppendProgress(const std::string& text) {
  KeepProgress(progress_ + text);
  // During a run the box shows the text when pending events run next (laying
  // out the whole box for every line would cost more than the run's work).
  if (!running_) ShowProgress();
}

void ConverterWindow::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  // Shown by the tool, not restored from the task bar: a restore keeps the
  // progress of the last run.
  if (!e->spontaneous()) Activate();
}

RunHooks ConverterWindow::Hooks() {
  RunHooks h;
  h.append = [this](const std::string& t) { AppendProgress(t); };
  // A run asks after every row, far more often than anyone notices: pending
  // events run when a few milliseconds have passed since they last ran.
  h.pump = [this, last = std::make_shared<QElapsedTimer>()] {
    if (last->isValid() && last->elapsed() < 5) return;
    ShowProgress();
    QCoreApplication::processEvents();
    last->start();
  };
  h.stopRequested = [this] { return stop_requested_; };
  h.beep = [] { QApplication::beep(); };
  return h;
}

void ConverterWindow::ShowRules(const std::vector<std::pair<std::string, int>>& lines) {
  QPalette p = Text2->palette();
  p.setColor(QPalette::Text, QColor(128, 0, 0));
  Text2->setPalette(p);
  std::string text(kLineBreak);
  for (const auto& [line, breaks] : lines) {
    text += line;
    for (int i = 0; i < breaks; ++i) text += kLineBreak;
  }
  SetProgress(text);
  QCoreApplication::processEvents();
  Text2->moveCursor(QTextCursor::Start);
}

void ConverterWindow::StartProgress() {
  Command1->setEnabled(false);
  Command2->setEnabled(true);
  Label6->SetCaption("PROGRESS:");
  SetProgress({});
  Text2->setPalette(QApplication::palette(Text2));
}

void ConverterWindow::Report(const RunResult& result) {
  ShowProgress();
  switch (result.end) {
    case RunEnd::Ready: Command1->setEnabled(true); break;
    case RunEnd::NoSourceData: break;  // START stays off until the next activation
    case RunEnd::Stopped: Command1->setEnabled(true); break;
    case RunEnd::Refused:
    case RunEnd::Failed:
      AppendProgress(std::string(kLineBreak) + "STOPPED: " + result.message + std::string(kLineBreak));
      Command1->setEnabled(true);
      if (!tool_.Ended()) Warn(result.message);
      break;
  }
}

void ConverterWindow::SetDefaultFolder(FolderList* list, const std::string& windows_path) {
  const std::string linux_path = platform::WindowsPathToLinux(windows_path, platform::ProgramFolder());
  if (auto found = platform::ResolveCaseInsensitive(linux_path)) list->SetPath(*found);
}

// ---------------------------------------------------------------------------

namespace {

const std::vector<std::pair<std::string, int>> kNameRules = {
    {"NEGATIVE VALUES ARE SHOWN AS AN", 1}, {"ASCII CHARACTER FROM 64 UPWARDS", 1},
    {"AT THE RNnn / RNee 1000km-DIGIT", 2}, {"EXAMPLES:", 2},
    {"60001200.BMP MEANS...", 1},           {"RNN =  6000 km,  RNE =  1200 km", 2},
    {"5410@850.BMP MEANS...", 1},           {"RNN =  5410 km,  RNE =  -850 km", 2},
    {"E200B600.BMP MEANS...", 1},           {"RNN = -5200 km,  RNE = -2600 km", 3},
};

std::vector<std::pair<std::string, int>> Join(std::vector<std::pair<std::string, int>> a,
                                              const std::vector<std::pair<std::string, int>>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace

FileConverterWindow::FileConverterWindow(Tool& tool, const char* name, const std::string& caption,
                                         const std::string& heading, Converter converter)
    : ConverterWindow(tool, name, caption, heading), converter_(converter) {
  Command1->OnClick = [this] { Start(); };
  Command2->OnClick = [this] {
    hide();
    tool_.ShowMenu();
  };
}

void FileConverterWindow::Start() {
  if (running_) return;
  if (auto why = CheckFolders({Dir1->Path(), Dir2->Path()}, Dir1->Path(), Dir2->Path(),
                              "SOURCE / DESTINATION  PATHS  HAVE TO BE DIFFERENT !");
      !why.empty()) {
    Warn(why);
    return;
  }
  StartProgress();
  running_ = true;
  stop_requested_ = false;
  const RunResult result = converter_({Dir1->Path(), Dir2->Path(), Check1->Value() == 1}, Hooks());
  running_ = false;
  Report(result);
}

void FileConverterWindow::closeEvent(QCloseEvent* e) {
  e->accept();
  tool_.End();
}

DataWindow::DataWindow(Tool& tool)
    : FileConverterWindow(tool, "Form1", "TALMORDC", "RIKETS N\xC4T  TO  UTM ZONE 33  DATA CONVERTER ",
                          ConvertDataFiles) {
  SetDefaultFolder(Dir1, "C:\\ZEBLON\\RN\\LOG");
  SetDefaultFolder(Dir2, "C:\\ZEBLON\\U33\\LOG");
  Check1->SetValue(0);
}

void DataWindow::Activate() {
  if (running_) return;  // one run at a time: a run under way keeps its window as it is
  Command1->setEnabled(true);
  ShowRules({{"RULES CONCERNING THE FILES:", 3},
             {"DATA FILES AS USED BY ZEBLON IN", 1},
             {"...\\LOG, ...\\POI, ...\\TRK WITH", 1},
             {"THE EXTENSIONS .TXT, .POI, .TRK", 1},
             {"WILL BE CONVERTED TO DESTINATION", 1},
             {"FILES OF THE SAME NAME.", 0}});
}

PictureWindow::PictureWindow(Tool& tool)
    : FileConverterWindow(tool, "Form2", "TALMORIC", "RIKETS N\xC4T  TO  UTM ZONE 33  IMAGE NAME CONVERTER ",
                          ConvertImageNames) {
  SetDefaultFolder(Dir1, "C:\\ZEBLON\\RN\\RNIMAGES");
  SetDefaultFolder(Dir2, "C:\\ZEBLON\\U33\\UTMPICS");
}

void PictureWindow::Activate() {
  if (running_) return;
  Check1->SetValue(0);
  Command1->setEnabled(true);
  stop_requested_ = false;
  ShowRules(Join(
      Join({{"RULES CONCERNING THE FILES:", 3},
            {"IMAGES MAY BE ANY BMP FILES WITH", 1},
            {"COORDINATE-RELATED NAMES, CODED", 1},
            {"LIKE RNnnRNee.BMP WHICH MEANS:", 1},
            {"RNnn = RN km N   RNee = RN km E", 2}},
           kNameRules),
      {{"DESTINATION FILES:", 2}, {"CREATED SIMILAR TO SOURCE FILES", 1}, {"WITH NAMES REFERRING TO UTM Z33", 1}}));
}

// ---------------------------------------------------------------------------

TileWindow::TileWindow(Tool& tool)
    : ConverterWindow(tool, "Form3", "TALMORMC", "RIKETS N\xC4T  TO  UTM ZONE 33  MAP CONVERTER ") {
  auto* grid = new QGridLayout;
  grid->addWidget(new platform::Label(this, "Label7", "TEMP PATH:"), 0, 0);
  Text3 = new platform::TextBox(this, "Text3");
  grid->addWidget(Text3, 0, 1, 1, 2);
  grid->addWidget(new platform::Label(this, "Label1", "SCALE:"), 1, 0);
  Text1 = new platform::TextBox(this, "Text1");
  Text1->SetText("10");
  grid->addWidget(Text1, 1, 1);
  grid->addWidget(new platform::Label(this, "Label8", "m/pixel"), 1, 2);
  grid->addWidget(new platform::Label(this, "Label9", "SPECIALS:"), 2, 0);
  Option1 = new platform::OptionButton(this, "Option1", "AVOID EMPTY PIXELS");
  Option2 = new platform::OptionButton(this, "Option2", "PRIORITIZE CERTAIN PALETTE INKS");
  grid->addWidget(Option1, 2, 1, 1, 2);
  grid->addWidget(Option2, 3, 1, 1, 2);
  Label5 = new platform::Label(this, "Label5", "PRIORITIZE THESE INKS (PRI1 PRI2..)");
  grid->addWidget(Label5, 4, 0, 1, 2);
  Text4 = new platform::TextBox(this, "Text4");
  grid->addWidget(Text4, 4, 2);
  static_cast<QVBoxLayout*>(options_area_)->addLayout(grid);

  Option1->OnClick = [this] { CollisionModeChanged(); };
  Option2->OnClick = [this] { CollisionModeChanged(); };
  Option1->SetValue(true);
  CollisionModeChanged();
  Dir1->OnChange = [this] { ScaleFromFolder(); };
  Command1->OnClick = [this] { Start(); };
  Command2->OnClick = [this] { Back(); };

  SetDefaultFolder(Dir1, "C:\\ZEBLON\\RN\\M0002");
  SetDefaultFolder(Dir2, "C:\\ZEBLON\\U33\\M0002");
  // The temp path: $TEMP as it is (Linux paths are case-sensitive), else the
  // system's temporary folder.
  std::string temp;
  if (const char* t = std::getenv("TEMP"); t && *t) temp = t;
  if (temp.empty()) {
    std::error_code ec;
    temp = fs::temp_directory_path(ec).string();
  }
  Text3->SetText(temp);
}

void TileWindow::Activate() {
  if (running_) return;
  Check1->SetValue(0);
  Command1->setEnabled(true);
  stop_requested_ = false;
  ShowRules(Join(Join({{"RULES CONCERNING THE FILES:", 3},
                       {"16-, 256- INK PALETTE OR TC BMP", 2},
                       {"SW-CORNER AT FULL KILOMETER N,E", 2},
                       {"NAME CORRESPONDING TO SW CORNER", 1},
                       {"CODED RNnnRNee.BMP WHICH MEANS:", 1},
                       {"RNnn = RN km N   RNee = RN km E", 2}},
                      kNameRules),
                 {{"SUPPORTED SCALES:", 2},
                  {"2 10 50 200 1000 5000 m/pixel", 3},
                  {"DESTINATION FILES:", 2},
                  {"CREATED SIMILAR TO SOURCE FILES", 1},
                  {"WITH NAMES REFERRING TO UTM Z33", 1}}));
}

void TileWindow::ScaleFromFolder() {
  const std::string path = platform::UpperAscii(Dir1->Path().string());
  for (int scale : zeblon::map::kTileScales) {
    if (path.find(zeblon::map::ScaleTag(scale)) != std::string::npos) Text1->SetText(std::to_string(scale));
  }
}

void TileWindow::CollisionModeChanged() {
  const bool priority = Option2->Value();
  Label5->setEnabled(priority);
  Text4->SetText("");
  Text4->setEnabled(priority);
}

void TileWindow::Start() {
  if (running_) return;
  std::string temp = Trim(Text3->Text());
  if (temp.empty()) {
    std::error_code ec;
    temp = fs::temp_directory_path(ec).string();
  }
  TileRunOptions options;
  options.source = Dir1->Path();
  options.destination = Dir2->Path();
  options.temp = temp;
  if (auto why = CheckFolders({options.source, options.destination, WorkFolderOf(options.temp)}, options.source,
                              options.destination, "SOURCE / DESTINATION / TEMP  PATHS  HAVE TO BE DIFFERENT !");
      !why.empty()) {
    Warn(why);
    return;
  }
  const double scale = RoundHalfEven(LeadingNumber(Trim(Text1->Text())));
  if (!FitsWholeNumber<int>(scale) || !zeblon::map::IsTileScale(static_cast<int>(scale))) {
    Warn("SUPPORTED SCALES ARE 2 10 50 200 1000 5000 !");
    return;
  }
  options.scale = static_cast<int>(scale);
  options.mode = Option1->Value() ? CollisionMode::AvoidEmptyPixels : CollisionMode::PrioritizeInks;
  if (options.mode == CollisionMode::PrioritizeInks) {
    std::string error;
    if (!ParseInkList(Text4->Text(), options.priority, error)) {
      Warn(error);
      return;
    }
  }
  options.deleteSources = Check1->Value() == 1;
  StartProgress();
  running_ = true;
  stop_requested_ = false;
  const RunResult result = ConvertMapTiles(options, Hooks());
  running_ = false;
  Report(result);
  if (result.end == RunEnd::Stopped && !tool_.Ended()) ReturnToMenu();
}

void TileWindow::Back() {
  if (running_) {
    stop_requested_ = true;  // the run saves its work and returns to the menu
    return;
  }
  ReturnToMenu();
}

void TileWindow::ReturnToMenu() {
  hide();
  tool_.ShowMenu();
}

void TileWindow::closeEvent(QCloseEvent* e) {
  if (running_) {
    stop_requested_ = true;  // the run ends in order, then the window goes
    e->ignore();
    return;
  }
  e->accept();
  if (!tool_.Ended()) tool_.ShowMenu();
}

// ---------------------------------------------------------------------------

MenuWindow::MenuWindow(Tool& tool) : tool_(tool) {
  setObjectName("Form0");
  setWindowTitle("TALMOR");
  UseToolFont(this);
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  auto* picture = new QLabel(this);
  picture->setObjectName("Picture1");
  picture->setFixedSize(32, 32);
  top->addWidget(picture);
  auto* heading = new platform::Label(
      this, "Label4",
      "  RIKETS N\xC4T  TO  UTM ZONE 33  CONVERTER" + std::string(48, ' ') + "ESPECIALLY DESIGNED FOR ZEBLON-USERS   ");
  heading->setWordWrap(true);
  top->addWidget(heading, 1);
  layout->addLayout(top);
  auto* frame = new platform::Frame(this, "Frame1", "  SELECT WHAT YOU WANT TO CONVERT:  ");
  auto* options = new QVBoxLayout(frame);
  Option1 = new platform::OptionButton(frame, "Option1", "DATA (e.g. LOG, POI, TRK)");
  Option2 = new platform::OptionButton(frame, "Option2", "IMAGE NAMES (e.g. RNIMAGES to UTMPICS)");
  Option3 = new platform::OptionButton(frame, "Option3",
                                       "MAPS (e.g. M0001, M0010 ...)              OBSERVE: EACH SINGLE MAP "
                                       "CONVERSION MAY TAKE UP TO SEVERAL MINUTES (DEPENDING ON YOUR SYSTEM SPEED)!");
  for (auto* o : {Option1, Option2, Option3}) options->addWidget(o);
  Option1->SetValue(true);
  layout->addWidget(frame);
  auto* buttons = new QHBoxLayout;
  Command2 = new platform::CommandButton(this, "Command2", "ABORT");
  Command1 = new platform::CommandButton(this, "Command1", "START");
  buttons->addWidget(Command2);
  buttons->addWidget(Command1);
  layout->addLayout(buttons);
  Command1->OnClick = [this] { tool_.OpenChosenConverter(); };
  Command2->OnClick = [this] { tool_.End(); };
}

void MenuWindow::closeEvent(QCloseEvent* e) {
  e->accept();
  tool_.End();  // as ABORT: no hidden converter window keeps the tool alive
}

// ---------------------------------------------------------------------------

Tool::Tool() = default;
Tool::~Tool() = default;

MenuWindow& Tool::Menu() {
  if (!menu_) menu_ = std::make_unique<MenuWindow>(*this);
  return *menu_;
}
DataWindow& Tool::Data() {
  if (!data_) data_ = std::make_unique<DataWindow>(*this);
  return *data_;
}
PictureWindow& Tool::Pictures() {
  if (!pictures_) pictures_ = std::make_unique<PictureWindow>(*this);
  return *pictures_;
}
TileWindow& Tool::Tiles() {
  if (!tiles_) tiles_ = std::make_unique<TileWindow>(*this);
  return *tiles_;
}

void Tool::ShowMenu() { Menu().show(); }

void Tool::OpenChosenConverter() {
  if (Menu().Option1->Value()) {
    Tiles().hide();
    Pictures().hide();
    Menu().hide();
    Data().show();
  }
  if (Menu().Option2->Value()) {
    Tiles().hide();
    Data().hide();
    Menu().hide();
    Pictures().show();
  }
  if (Menu().Option3->Value()) {
    Pictures().hide();
    Data().hide();
    Menu().hide();
    Tiles().show();
  }
}

void Tool::End() {
  if (ended_) return;
  ended_ = true;
  // A run under way stops at its next step (the tile converter saves what it has).
  for (QWidget* w : std::initializer_list<QWidget*>{tiles_.get(), pictures_.get(), menu_.get(), data_.get()})
    if (w) w->hide();
  for (ConverterWindow* w : std::initializer_list<ConverterWindow*>{tiles_.get(), pictures_.get(), data_.get()})
    if (w) w->RequestStop();
  if (onEnd)
    onEnd();
  else
    QCoreApplication::quit();
}

}  // namespace talmor
