#pragma once

#include "core/managersettings.h"

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace kn4::manager {

// The line numbers of lingua.ini the manager uses. Texts holding "%1" (and
// "%2", "%3") take the values the message names, in that order.
namespace text {
enum Line : int {
    // Main window.
    WindowCaption = 0,
    MenuArchive = 1,
    MenuNewArchive = 2,
    MenuRenameArchive = 3,
    MenuDeleteArchive = 4,
    MenuSettings = 5,
    MenuExit = 6,
    MenuMode = 7,
    ModeLince = 8,
    ModeEmulator = 9,
    ModeVolpe = 10,
    ModeOrsa = 11,
    ArchiveCaption = 12,
    DiskCaption = 13,
    CountPrefix = 14,
    NothingBeingEdited = 15,
    BeingEdited = 16,
    TipDelete = 17,
    TipSimulator = 18,
    TipEditor = 19,
    TipNewNameArchive = 20,
    TipNewNameDisk = 21,
    TipCopyToDisk = 22,
    TipCopyToArchive = 23,
    TipPrint = 24,
    DialogCaption = 25,
    DialogOk = 26,
    DialogCancel = 27,
    PromptNewArchive = 28,
    PromptRenameArchive = 29,
    PromptPanelCopy = 30,
    PromptNewDisk = 31,
    PreviewCaption = 32,
    MenuDisk = 33,
    MenuNewDisk = 34,
    MenuRenameDisk = 35,
    MenuDeleteDisk = 36,
    TipArchiveList = 37,
    TipDiskList = 38,
    TipArchives = 39,
    TipDisks = 40,
    MenuHelp = 41,
    MenuAbout = 42,
    AboutText = 43,
    PromptRenameDisk = 44,
    TipImageList = 45,
    MenuRefresh = 46,
    PictureEditor = 47,
    PictureSimulator = 48,
    PicturePrint = 49,
    PictureDelete = 50,
    PictureCopy = 51,
    PictureNewName = 52,
    ModeCaption = 53,
    ButtonYes = 54,
    ButtonNo = 55,

    // Preview.
    PreviewType = 60,
    PreviewSize = 61,
    PreviewPart = 62,
    PreviewWidth = 63,
    PreviewDensity = 64,
    PreviewSetUp = 65,
    PreviewBorder = 66,
    PreviewNeckline = 67,
    PreviewSteps = 68,
    PreviewCourses = 69,
    PreviewBorderHeight = 70,
    PreviewNeedlesPerCm = 71,
    PreviewCoursesPerCm = 72,
    PreviewExit = 73,
    PreviewColours = 74,
    PartHasErrors = 75,
    PanelUnreadable = 76,
    PreviewRight = 77,
    PreviewLeft = 78,

    // Messages.
    ArchiveExists = 100,
    AskDeleteArchive = 101,
    AskDeletePanels = 102,
    AskReplacePanel = 103,
    PrintOf = 104,
    PartsFrom = 105,
    AskDeletePanel = 106,
    NoPanelChosen = 107,
    NoArchiveChosen = 108,
    InvalidName = 109,
    AlreadyBeingEdited = 110,
    CannotCopy = 111,
    CannotDelete = 112,
    CannotCreateFolder = 113,
    CannotRename = 114,
    CannotStartProgram = 115,
    CopyBackFailed = 116,
    EditStillRunning = 117,
    PanelExists = 118,
    TitleError = 119,
    TitleWarning = 120,
    TitleConfirm = 121,
    DiskExists = 125,
    AskDeleteDisk = 126,
    CannotSave = 127,
    SettingsSaved = 128,
    UnknownKeywords = 129,
    LibraryUnavailable = 130,
    KeywordFileSaved = 131,
    FileMissing = 132,
    NoDiskChosen = 133,
    WorkingCopyFailed = 134,
    SourceArchive = 135,
    SourceDisk = 136,
    CannotRemoveFolder = 137,
    ProgramMissing = 138,
    AskCopyIntoArchive = 139,

    // Settings window.
    SettingsCaption = 180,
    SettingsLanguage = 181,
    SettingsNeedles = 182,
    SettingsCombWidth = 183,
    SettingsTwoSided = 184,
    SettingsBlankMarker = 185,
    SettingsCombEditable = 186,
    SettingsEditorString = 187,
    SettingsSave = 188,
    SettingsKeywords = 189,
    SettingsSaveKeywords = 190,
    ControllerNameHint = 191,
    SettingsControllers = 192,
    ControllerFileOk = 193,
    ControllerFileMissing = 194,
    SettingsClose = 195,
    LanguageItalian = 196,
    LanguageEnglish = 197,
    LanguageSpanish = 198,
    TipKeywordEditor = 199,
    SettingsAdd = 200,
    SettingsRemove = 201,
    SettingsEditorGroup = 202,
    TipFlags = 203,
    SettingsControllerName = 204,

    // Transfer to the machine's media.
    TransferMenuUsb = 241,
    TransferSafeRemoval = 245,
    TransferFormatFloppy = 247,
    TransferCheckFloppy = 259,
    // The mode names of the caption.
    ModeNameLince = 252,
    ModeNameEmulator = 253,
    ModeNameVolpe = 254,
    ModeNameOrsa = 255,
    TransferPlcOnDisk = 256,
    TransferPlcDate = 257,
    TransferPlcOk = 258,
    TransferAskFormat = 261,
    // The lines written while an image is built.
    ImageLineDisk = 267,
    ImageLinePlc = 268,
    ImageLineFile = 269,
    ImageLineClusters = 270,
    ImageLineBuffer = 271,
    ImageLineSystem = 272,
    ImageLineBytes = 273,
    TransferBuildImage = 274,
    TransferDeleteImage = 275,
    TipLincePlc = 292,
    TipVolpePlc = 293,
    TipImageName = 294,
    TransferRawImage = 295,
    TipRawImage = 296,
    TransferCheckVolpe = 297,
    TransferChangeVolpePlc = 298,
    TransferMenuFloppy = 299,
    TransferChangePlc = 300,
    TransferQuickFormat = 301,
    TransferFloppyAt = 302,
    TransferNoFloppy = 303,
    TransferImagesIn = 304,
    TransferNoDriveWithFolder = 305,
    TransferDisksIn = 306,
    TransferImageName = 307,
    TransferImageOk = 308,
    TransferImageInvalid = 309,
    TransferInsertFloppy = 310,
    TransferNoTerminal = 311,
    TransferCannotStartTerminal = 312,
    TransferNoVolpeDrive = 313,
    TransferNothingToRemove = 314,
    TransferDiskRemovable = 315,
    TransferChooseImageAndPlc = 316,
    TransferAskBuildImage = 317,
    TransferChooseImageToDelete = 318,
    TransferAskDeleteImage = 319,
    TransferPlcNotCurrent = 320,
    TransferMediumFloppy = 321,
    TransferMediumImages = 322,
    TransferNotRemovable = 323,
    TransferUnmountFirst = 324,
    TransferCannotRemove = 325,
    TransferCloseOpenFiles = 326,
    TransferChooseAPlc = 327,
    TransferChooseThePlc = 328,
    TransferChooseImageName = 329,
};
} // namespace text

// lingua.ini: at most 401 lines (0 to 400), each the same text in Italian,
// English and Spanish separated by "_". A missing translation reads as the
// empty text. Texts stay Windows-1252 bytes.
class ManagerTexts
{
public:
    static constexpr std::size_t kMaxLines = 401;
    static constexpr const char *kFileName = "lingua.ini";

    // False when the file is missing or unreadable.
    bool load(const std::filesystem::path &file);
    void loadText(std::string_view text);

    std::size_t lineCount() const { return m_lines.size(); }
    // The text of a line in a language; empty for a line the file lacks.
    std::string text(int line, Language language) const;

private:
    std::vector<std::array<std::string, kLanguageCount>> m_lines;
};

} // namespace kn4::manager
