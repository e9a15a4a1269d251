// The interview close: the last recording is finished, the report completed and saved into the
// interview folder, and the whole folder packed into a zip archive on the Desktop.
#include "archive/Compression.h"
#include "archive/StringUtils.h"
#include "controls/Label.h"
#include "controls/Panel.h"
#include "controls/PictureButton.h"
#include "platform/DateTime.h"
#include "station/DesktopPath.h"
#include "station/Naming.h"
#include "station/Report.h"
#include "station/UExam.h"
#include "station/UMainForm.h"

#include <QCoreApplication>

#include <algorithm>
#include <stdexcept>

namespace {

constexpr const char* CountLinePrefix = "Участников;";
// The five header lines come first; count lines can only follow them.
constexpr std::size_t HeaderLineCount = 5;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// A close repeated after a failed save must not leave the earlier count line behind: the report
// ends with exactly one, written with the count of the moment it is saved.
void DropEarlierCountLine(std::vector<std::string>& lines) {
    if (lines.size() <= HeaderLineCount)
        return;
    lines.erase(
        std::remove_if(lines.begin() + HeaderLineCount, lines.end(),
                       [](const std::string& line) { return line.rfind(CountLinePrefix, 0) == 0; }),
        lines.end());
}

std::string OwnName(const std::string& folder) {
    return folder.substr(folder.find_last_of('/') + 1);
}

} // namespace

void TfrmExam::CreateClose() {
    btnEnd->OnClick = [this](QObject* Sender) { btnEndClick(Sender); };
    btn1->OnClick = [this](QObject* Sender) { btn1Click(Sender); };
}

void TfrmExam::btnEndClick(QObject*) {
    // The last recording's file is complete and its report line appended when this returns.
    StopRecording();
    spnl3->setText(QString());

    DropEarlierCountLine(MainForm.ReportLines);
    AddCountLine(MainForm);
    const std::string reportName =
        ReportFileName(platform::Today(), MainForm.KodOU6, MainForm.Aud3);
    SaveReport(MainForm, MainForm.InterviewDir + "/" + reportName);

    lblReport->setText(Text("Сформирован отчёт:  " + reportName));
    lblCount->setText(Text("Участников: " + std::to_string(MainForm.MemberNo)));
    lblTimer->hide();
    btnEnd->hide();
    btn1->show();
    btnNext->setEnabled(false);
    // A closed interview takes no further recordings: nothing would report or archive them.
    btnRecord->setEnabled(false);

    const std::string archiveName =
        ArchiveFileName(GetDesktopPath(), platform::Today(), MainForm.KodOU6, MainForm.Aud3);
    const archive::TCompressArchiveClass* format =
        archive::ArchiveFormats().CompressClassFor(archiveName);
    if (!format)
        throw std::runtime_error("No archive format for \"" + archiveName + "\"");
    // Released whatever happens: the archive file is closed before the failure is shown.
    struct ReleaseArchive {
        std::shared_ptr<archive::TCompressArchive>& field;
        ~ReleaseArchive() { field.reset(); }
    } release{ZipArchive};
    ZipArchive = format->Create(archiveName, 0, false);
    ZipArchive->AddDirectory(archive::Utf8ToWide(OwnName(MainForm.InterviewDir)),
                             MainForm.InterviewDir, true, true);
    ZipArchive->Compress();
    ZipArchive.reset();

    lblArchive->setText(Text("Архив собеседования: " + archiveName));
}

void TfrmExam::btn1Click(QObject*) {
    QCoreApplication::quit();
}
