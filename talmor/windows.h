// TALMOR's windows: the tool menu (Form0) and the three converter windows, the
// data file converter (Form1), the picture name converter (Form2) and the map
// tile converter (Form3). The handlers are thin: they read the controls, call the
// converter functions (talmor/tile_converter.h, talmor/file_converters.h) and
// show what comes back. Controls carry their numbered names as object names.
#pragma once

#include <QListWidget>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "talmor/file_converters.h"
#include "talmor/run.h"

namespace talmor {

// A folder list (the DirN controls): the subfolders of the current folder, with
// ".." first; a double click (or SetPath) enters a folder.
class FolderList : public QListWidget {
  Q_OBJECT
 public:
  FolderList(QWidget* parent, const char* name);
  const fs::path& Path() const { return path_; }
  // False (and the list unchanged) when `path` is not a folder that can be read.
  bool SetPath(const fs::path& path);
  platform::Handler OnChange;
  platform::Handler OnShown;  // after every SetPath (the drive list follows)

 private:
  fs::path path_;
};

class Tool;

// The build shared by the three converter windows.
class ConverterWindow : public QWidget {
  Q_OBJECT
 public:
  ConverterWindow(Tool& tool, const char* name, const std::string& caption, const std::string& heading);

  // Text2: the rules, then a run's progress; at most its last 4000 characters.
  const std::string& ProgressText() const { return progress_; }
  void SetProgress(std::string text);
  void AppendProgress(const std::string& text);
  bool Running() const { return running_; }
  // Asks a run under way to stop at its next step.
  void RequestStop() { stop_requested_ = true; }

  platform::Label* Label2;
  platform::Label* Label3;
  platform::Label* Label4;
  platform::Label* Label6;
  platform::ComboBox* Drive1;
  platform::ComboBox* Drive2;
  FolderList* Dir1;
  FolderList* Dir2;
  platform::CheckBox* Check1;
  platform::CommandButton* Command1;
  platform::CommandButton* Command2;
  platform::TextArea* Text2;

  // Form_Activate: the rules and the reset of the window.
  virtual void Activate() = 0;

 protected:
  void showEvent(QShowEvent* e) override;
  RunHooks Hooks();
  void ShowRules(const std::vector<std::pair<std::string, int>>& lines);
  void StartProgress();
  void KeepProgress(std::string text);  // the text, not yet shown
  void ShowProgress();
  // Shows a run's message box, if any; true when the run ended normally.
  void Report(const RunResult& result);
  // Points a folder list at a default folder given in the stored Windows form.
  void SetDefaultFolder(FolderList* list, const std::string& windows_path);

  Tool& tool_;
  std::string progress_;
  bool progress_shown_ = true;  // the box shows progress_
  bool running_ = false;
  bool stop_requested_ = false;
  QLayout* options_area_ = nullptr;  // where the tile converter adds its controls
};

// The build shared by the data file and picture name converters: START checks
// the two folders and runs the window's converter, BACK returns to the menu (a
// run under way goes on), closing the window ends the tool.
class FileConverterWindow : public ConverterWindow {
  Q_OBJECT
 public:
  using Converter = RunResult (*)(const FileRunOptions&, const RunHooks&);
  FileConverterWindow(Tool& tool, const char* name, const std::string& caption, const std::string& heading,
                      Converter converter);
  void Start();  // Command1_Click

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  Converter converter_;
};

// TALMOR.Form1: data files (.TXT, .POI, .TRK).
class DataWindow : public FileConverterWindow {
  Q_OBJECT
 public:
  explicit DataWindow(Tool& tool);
  void Activate() override;
};

// TALMOR.Form2: picture names.
class PictureWindow : public FileConverterWindow {
  Q_OBJECT
 public:
  explicit PictureWindow(Tool& tool);
  void Activate() override;
};

// TALMOR.Form3: map tiles.
class TileWindow : public ConverterWindow {
  Q_OBJECT
 public:
  explicit TileWindow(Tool& tool);
  void Activate() override;
  void Start();
  void Back();

  platform::TextBox* Text1;  // scale, metres per pixel
  platform::TextBox* Text3;  // temp path
  platform::TextBox* Text4;  // ink list
  platform::OptionButton* Option1;
  platform::OptionButton* Option2;
  platform::Label* Label5;

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void ScaleFromFolder();
  void CollisionModeChanged();
  void ReturnToMenu();
};

// TALMOR.Form0: the menu.
class MenuWindow : public QWidget {
  Q_OBJECT
 public:
  explicit MenuWindow(Tool& tool);
  platform::OptionButton* Option1;
  platform::OptionButton* Option2;
  platform::OptionButton* Option3;
  platform::CommandButton* Command1;  // START
  platform::CommandButton* Command2;  // ABORT

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  Tool& tool_;
};

// The tool: its windows, created on first use, and its end.
class Tool {
 public:
  Tool();
  ~Tool();
  MenuWindow& Menu();
  DataWindow& Data();
  PictureWindow& Pictures();
  TileWindow& Tiles();
  void ShowMenu();
  void OpenChosenConverter();  // the menu's START
  // Ends the tool: stops a run in order, closes every window and calls `onEnd`
  // (by default it quits the application).
  void End();
  bool Ended() const { return ended_; }
  std::function<void()> onEnd;

 private:
  std::unique_ptr<MenuWindow> menu_;
  std::unique_ptr<DataWindow> data_;
  std::unique_ptr<PictureWindow> pictures_;
  std::unique_ptr<TileWindow> tiles_;
  bool ended_ = false;
};

}  // namespace talmor
