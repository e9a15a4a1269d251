#include "station/UMainForm.h"

#include "controls/GradientPanel.h"
#include "controls/Look.h"
#include "controls/Panel.h"
#include "controls/PictureButton.h"
#include "station/UExam.h"
#include "station/USettings.h"

#include <QLabel>
#include <QVBoxLayout>

const char* const ApplicationTitle = "Собеседование по русскому языку";

TfrmMainForm* frmMainForm = nullptr;

namespace {

QLabel* BannerLabel(QWidget* banner, const char* text, int fontHeight, bool bold,
                    Qt::Alignment alignment) {
    auto* label = new QLabel(QString::fromUtf8(text), banner);
    label->setFont(controls::StationFont(fontHeight, bold));
    label->setAlignment(alignment);
    // White on the gradient whatever the look's colours are.
    label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    return label;
}

} // namespace

TfrmMainForm::TfrmMainForm() {
    setObjectName(QStringLiteral("frmMainForm"));
    setWindowTitle(QString::fromUtf8(ApplicationTitle));
    setGeometry(192, 125, 1305, 675);
    setWindowState(Qt::WindowMaximized);

    sknmngr1 = new controls::SkinManager(this);
    setFont(controls::StationFont(-11));
    auto* client = new QWidget(this);
    setCentralWidget(client);

    sgr1 = new controls::GradientPanel(client, 90, QColor(9, 166, 29), QColor(0, 128, 0));
    lbl1 = BannerLabel(sgr1, "ГИА-9. СОБЕСЕДОВАНИЕ ПО РУССКОМУ ЯЗЫКУ", -27, false,
                       Qt::AlignHCenter | Qt::AlignBottom);
    lbl1->setFixedHeight(48);
    lbl2 = BannerLabel(sgr1, "Версия 1.0", -16, true, Qt::AlignCenter);
    auto* banner = new QVBoxLayout(sgr1);
    banner->setContentsMargins(0, 0, 0, 0);
    banner->setSpacing(0);
    banner->addWidget(lbl1);
    banner->addWidget(lbl2, 1);

    frmSettings = new TfrmSettings(client, *this);
    spnl2 = new controls::Panel(client, 3);
    spnl2->SetBevel(false);
    spnl2->SetColor(controls::AccentColor());
    frmExam = new TfrmExam(client, *this);
    frmExam->hide();

    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(sgr1);
    layout->addWidget(spnl2);
    // Only one page is visible at a time, so the shown one takes the whole rest of the window.
    layout->addWidget(frmSettings, 1);
    layout->addWidget(frmExam, 1);

    frmSettings->btnSaveParam->OnClick = [this](QObject* Sender) {
        frmSettingsbtnSaveParamClick(Sender);
    };
    WireCheckHandlers();
    frmMainForm = this;
    FormCreate();
}

TfrmMainForm::~TfrmMainForm() {
    FormDestroy();
    // The pages go first: destroying a page stops its recording, whose done handler still appends
    // to ReportLines, so the interview state must outlive them.
    delete frmExam;
    delete frmSettings;
    if (frmMainForm == this)
        frmMainForm = nullptr;
}

void TfrmMainForm::FormCreate() {
    // A failure is not reported: the playback test then plays nothing.
    platform::BASS_Init(platform::BASS_DEVICE_DEFAULT, 44100, 0, nullptr, nullptr);
    PlayStream = 0;
    ReportLines.clear();
}

void TfrmMainForm::FormDestroy() {
    platform::BASS_Free();
}

void TfrmMainForm::frmSettingsbtnSaveParamClick(QObject* Sender) {
    frmSettings->btnSaveParamClick(Sender);
}
