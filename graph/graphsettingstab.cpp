#include "graphsettingstab.h"

#include "ui_graphsettingstab.h"

#include "datetext.h"
#include "focusexit.h"
#include "limitrules.h"
#include "messages.h"
#include "plot.h"

#include <QFileInfo>
#include <QPainter>

namespace {

// The toolkit's sixteen standard colours, as the colour boxes offer them.
const std::pair<const char16_t *, QRgb> standardColours[] = {
    {u"黒", 0x000000},   {u"栗色", 0x800000}, {u"緑", 0x008000},     {u"オリーブ", 0x808000},
    {u"濃紺", 0x000080}, {u"紫", 0x800080},   {u"青緑", 0x008080},   {u"灰色", 0x808080},
    {u"銀色", 0xC0C0C0}, {u"赤", 0xFF0000},   {u"ライム", 0x00FF00}, {u"黄", 0xFFFF00},
    {u"青", 0x0000FF},   {u"赤紫", 0xFF00FF}, {u"水色", 0x00FFFF},   {u"白", 0xFFFFFF},
};

QIcon swatch(const QColor &colour)
{
    QPixmap pixmap(14, 10);
    pixmap.fill(colour);
    QPainter(&pixmap).drawRect(0, 0, 13, 9);
    return QIcon(pixmap);
}

void fillColourBox(QComboBox *box)
{
    for (const auto &[name, rgb] : standardColours) {
        const QColor colour(rgb);
        box->addItem(swatch(colour), QString::fromUtf16(name), settingFromColour(colour));
    }
}

// A stored colour the list lacks: red, green and blue as "#rrggbb" (the
// setting keeps red in its lowest byte), or a system colour by its number.
QString unlistedColourName(int setting)
{
    if (setting < 0)
        return QStringLiteral("システムカラー %1").arg(setting & 0xFFFFFF);
    return colourFromSetting(setting).name();
}

// Selects a stored colour; one the list lacks is added to it.
void selectColour(QComboBox *box, int setting)
{
    int index = box->findData(setting);
    if (index < 0) {
        box->addItem(swatch(colourFromSetting(setting)), unlistedColourName(setting), setting);
        index = box->count() - 1;
    }
    box->setCurrentIndex(index);
}

} // namespace

QString backgroundName(int number)
{
    static const char *const names[] = {"White",  "Pink",   "Red",        "Blue",       "SkyBlue",
                                        "Green",  "Orange", "UsuYello",   "Yello",      "YelGreen",
                                        "Aozora", "Yuuhi",  "StraipBlue", "StraipPink", "Star"};
    if (number < 1 || number > 15)
        return {};
    return QString::fromLatin1(names[number - 1]);
}

GraphSettingsTab::GraphSettingsTab(QWidget *parent) : QWidget(parent), m_ui(std::make_unique<Ui::GraphSettingsTab>())
{
    m_ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
    fillColourBox(m_ui->ClrBx_W);
    fillColourBox(m_ui->ClrBx_F);
    m_ui->CmbBx_BkGrnd->setCurrentIndex(-1);
    connectHandlers();
}

GraphSettingsTab::~GraphSettingsTab() = default;

void GraphSettingsTab::connectHandlers()
{
    onExit(m_ui->Edt_UpWlimit, [this] { Edt_UpWlimitExit(); });
    onExit(m_ui->Edt_DwnWlimit, [this] { Edt_DwnWlimitExit(); });
    onExit(m_ui->Edt_UpFlimit, [this] { Edt_UpFlimitExit(); });
    onExit(m_ui->Edt_DwnFlimit, [this] { Edt_DwnFlimitExit(); });
    onExit(m_ui->Dt_Grph_StartD, [this] { Dt_Grph_StartDExit(); });
    onExit(m_ui->Dt_Grph_EndD, [this] { Dt_Grph_EndDExit(); });
    connect(m_ui->SpdBtn_Wupup, &QToolButton::clicked, this, &GraphSettingsTab::SpdBtn_WupupClick);
    connect(m_ui->SpdBtn_WupDwn, &QToolButton::clicked, this, &GraphSettingsTab::SpdBtn_WupDwnClick);
    connect(m_ui->SpdBtn_WDwnup, &QToolButton::clicked, this, &GraphSettingsTab::SpdBtn_WDwnupClick);
    connect(m_ui->SpdBtn_WDwndwn, &QToolButton::clicked, this, &GraphSettingsTab::SpdBtn_WDwndwnClick);
    connect(m_ui->SpdBtn_Fupup, &QToolButton::clicked, this, &GraphSettingsTab::SpdBtn_FupupClick);
    connect(m_ui->SpdBtn_FupDwn, &QToolButton::clicked, this, &GraphSettingsTab::SpdBtn_FupDwnClick);
    connect(m_ui->SpdBtn_FDwnup, &QToolButton::clicked, this, &GraphSettingsTab::SpdBtn_FDwnupClick);
    connect(m_ui->SpdBtn_FDwndwn, &QToolButton::clicked, this, &GraphSettingsTab::SpdBtn_FDwndwnClick);
    connect(m_ui->RdoGrp_WorF, &RadioGroup::clicked, this, &GraphSettingsTab::RdoGrp_WorFClick);
    connect(m_ui->RdoGrp_TrimboVis, &RadioGroup::clicked, this, &GraphSettingsTab::RdoGrp_TrimboVisClick);
    connect(m_ui->ClrBx_W, &QComboBox::activated, this, &GraphSettingsTab::ClrBx_WClick);
    connect(m_ui->ClrBx_F, &QComboBox::activated, this, &GraphSettingsTab::ClrBx_FClick);
    connect(m_ui->CmbBx_BkGrnd, &QComboBox::activated, this, &GraphSettingsTab::CmbBx_BkGrndClick);
    connect(m_ui->BtBtn_Save_Graph, &QPushButton::clicked, this, &GraphSettingsTab::BtBtn_Save_GraphClick);
}

void GraphSettingsTab::attach(const GraphSettings &fields, const QString &bkGrndDir)
{
    m_fields = fields;
    m_bkGrndDir = bkGrndDir;
}

void GraphSettingsTab::SetGraph()
{
    show(m_ui->Edt_UpWlimit, m_fields.WUpper);
    show(m_ui->Edt_DwnWlimit, m_fields.WDown);
    show(m_ui->Edt_UpFlimit, m_fields.FUpper);
    show(m_ui->Edt_DwnFlimit, m_fields.FDown);
    m_ui->RdoGrp_WorF->setItemIndex(m_fields.GraphVis);
    m_ui->Dt_Grph_StartD->setDate(dateOrToday(m_fields.StartD));
    m_ui->Dt_Grph_EndD->setDate(dateOrToday(m_fields.EndD));
    selectColour(m_ui->ClrBx_W, m_fields.LineClW);
    selectColour(m_ui->ClrBx_F, m_fields.LineClF);
    BckGrndEstb(m_fields.BckGrnd);
    m_ui->RdoGrp_TrimboVis->setItemIndex(m_fields.TrimboVis);
    m_ui->CmbBx_BkGrnd->setCurrentIndex(m_fields.BckGrnd - 1);
}

std::optional<ValueRange> GraphSettingsTab::limits(const QLineEdit *lower, const QLineEdit *upper,
                                                   const QString &lowerField, const QString &upperField,
                                                   const MeasureBounds &bounds) const
{
    // An edit holding a text that is no number within the bounds draws with its accepted limit.
    const auto read = [&bounds](const QLineEdit *edit, const QString &field) {
        const std::optional<double> shown = limitValue(edit->text(), bounds);
        return shown ? shown : limitValue(field, bounds);
    };
    const std::optional<double> low = read(lower, lowerField);
    const std::optional<double> high = read(upper, upperField);
    if (!low || !high)
        return std::nullopt;
    return ValueRange{*low, *high};
}

GraphWindow GraphSettingsTab::graphWindow() const
{
    GraphWindow window = GraphWindow::fromDates(m_ui->Dt_Grph_StartD->date(), m_ui->Dt_Grph_EndD->date());
    window.weight = limits(m_ui->Edt_DwnWlimit, m_ui->Edt_UpWlimit, m_fields.WDown, m_fields.WUpper, WeightBounds);
    window.fat = limits(m_ui->Edt_DwnFlimit, m_ui->Edt_UpFlimit, m_fields.FDown, m_fields.FUpper, FatBounds);
    window.mode = m_fields.GraphVis;
    return window;
}

// What the rule made of the text left in a limit edit: taken into the
// field, the field put back, or both left as they are. A text not taken
// says the rule it breaks under the edits, without a box, until the next
// limit or date is left or a limit stepped.
void GraphSettingsTab::limitExit(QLineEdit *edit, QString &field, const LimitExit &result)
{
    if (result.kind == LimitExit::Accept)
        field = result.text;
    if (result.kind != LimitExit::Ignore)
        show(edit, field);
    m_ui->Lbl_Rule->setText(result.rule);
}

void GraphSettingsTab::stepped(QLineEdit *edit, QString &field, const QString &limit)
{
    field = limit;
    show(edit, field);
    m_ui->Lbl_Rule->clear();
}

void GraphSettingsTab::Edt_UpWlimitExit()
{
    limitExit(m_ui->Edt_UpWlimit, m_fields.WUpper,
              upperLimitExit(m_ui->Edt_UpWlimit->text(), m_fields.WDown, WeightBounds));
}

void GraphSettingsTab::Edt_DwnWlimitExit()
{
    limitExit(m_ui->Edt_DwnWlimit, m_fields.WDown,
              lowerLimitExit(m_ui->Edt_DwnWlimit->text(), m_fields.WUpper, WeightBounds));
}

void GraphSettingsTab::Edt_UpFlimitExit()
{
    limitExit(m_ui->Edt_UpFlimit, m_fields.FUpper,
              upperLimitExit(m_ui->Edt_UpFlimit->text(), m_fields.FDown, FatBounds));
}

void GraphSettingsTab::Edt_DwnFlimitExit()
{
    limitExit(m_ui->Edt_DwnFlimit, m_fields.FDown,
              lowerLimitExit(m_ui->Edt_DwnFlimit->text(), m_fields.FUpper, FatBounds));
}

void GraphSettingsTab::SpdBtn_WupupClick()
{
    if (const std::optional<QString> limit = upperStepUp(m_fields.WUpper, WeightBounds))
        stepped(m_ui->Edt_UpWlimit, m_fields.WUpper, *limit);
}

void GraphSettingsTab::SpdBtn_FupupClick()
{
    if (const std::optional<QString> limit = upperStepUp(m_fields.FUpper, FatBounds))
        stepped(m_ui->Edt_UpFlimit, m_fields.FUpper, *limit);
}

void GraphSettingsTab::SpdBtn_WupDwnClick()
{
    if (const std::optional<QString> limit = upperStepDown(m_fields.WUpper, m_fields.WDown))
        stepped(m_ui->Edt_UpWlimit, m_fields.WUpper, *limit);
}

void GraphSettingsTab::SpdBtn_FupDwnClick()
{
    if (const std::optional<QString> limit = upperStepDown(m_fields.FUpper, m_fields.FDown))
        stepped(m_ui->Edt_UpFlimit, m_fields.FUpper, *limit);
}

void GraphSettingsTab::SpdBtn_WDwnupClick()
{
    stepped(m_ui->Edt_DwnWlimit, m_fields.WDown, lowerStepUp(m_fields.WDown, m_fields.WUpper).value_or(m_fields.WDown));
}

void GraphSettingsTab::SpdBtn_FDwnupClick()
{
    stepped(m_ui->Edt_DwnFlimit, m_fields.FDown, lowerStepUp(m_fields.FDown, m_fields.FUpper).value_or(m_fields.FDown));
}

void GraphSettingsTab::SpdBtn_WDwndwnClick()
{
    stepped(m_ui->Edt_DwnWlimit, m_fields.WDown, lowerStepDown(m_fields.WDown, WeightBounds));
}

void GraphSettingsTab::SpdBtn_FDwndwnClick()
{
    stepped(m_ui->Edt_DwnFlimit, m_fields.FDown, lowerStepDown(m_fields.FDown, FatBounds));
}

// The pair the pickers show is judged, whichever was left. A refused date
// goes back to the accepted one (today's date with none accepted yet), or
// stays while the accepted pair is no window at all. A pair that holds is
// taken whole: the other picker may hold a date kept that way.
void GraphSettingsTab::dateExit(DateSide side)
{
    QDateEdit *start = m_ui->Dt_Grph_StartD;
    QDateEdit *end = m_ui->Dt_Grph_EndD;
    const DateExit result =
        ::dateExit(side, start->date(), end->date(), parseDateText(m_fields.StartD), parseDateText(m_fields.EndD));
    QDateEdit *left = side == DateSide::Start ? start : end;
    QString &leftField = side == DateSide::Start ? m_fields.StartD : m_fields.EndD;
    if (result.kind == DateExit::PutBack)
        left->setDate(dateOrToday(leftField));
    if (result.kind == DateExit::Accept) {
        for (const auto &[picker, field] : {std::pair{start, &m_fields.StartD}, std::pair{end, &m_fields.EndD}}) {
            if (picker == left || picker->date() != dateOrToday(*field))
                *field = dateText(picker->date());
        }
    }
    m_ui->Lbl_Rule->setText(result.rule);
}

void GraphSettingsTab::Dt_Grph_StartDExit()
{
    dateExit(DateSide::Start);
}

void GraphSettingsTab::Dt_Grph_EndDExit()
{
    dateExit(DateSide::End);
}

void GraphSettingsTab::RdoGrp_WorFClick(int index)
{
    m_fields.GraphVis = index;
}

void GraphSettingsTab::RdoGrp_TrimboVisClick(int index)
{
    m_fields.TrimboVis = index;
}

void GraphSettingsTab::ClrBx_WClick()
{
    m_fields.LineClW = m_ui->ClrBx_W->currentData().toInt();
}

void GraphSettingsTab::ClrBx_FClick()
{
    m_fields.LineClF = m_ui->ClrBx_F->currentData().toInt();
}

void GraphSettingsTab::CmbBx_BkGrndClick(int index)
{
    m_fields.BckGrnd = index + 1;
    BckGrndEstb(m_fields.BckGrnd);
}

void GraphSettingsTab::BckGrndEstb(int number)
{
    const QString path = m_bkGrndDir + backgroundName(number) + QStringLiteral(".bmp");
    QImage picture;
    if (!QFileInfo(path).isFile() || !picture.load(path)) {
        Messages::information(QStringLiteral("画像ファイルが存在しません。"));
        return;
    }
    m_background = picture;
    m_ui->Img_BkGrnd->setPixmap(QPixmap::fromImage(picture));
}

void GraphSettingsTab::BtBtn_Save_GraphClick()
{
    Q_EMIT saveRequested();
}
