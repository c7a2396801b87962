// Page "Передача данных": data server, transfer schedule, NMEA forwarding,
// the transfer-page copies of the inputs' event settings, and the dormant
// control-point transfer group.

#include "PageFieldTable.h"
#include "editor/pages/TransferPage.h"

#include <QTimeEdit>

#include <deque>
#include <string>

using namespace pagetest;

using namespace plendoro;

namespace {

const char* kServer = "Сервер данных";
const char* kSend = "Передача данных";
const char* kNmea = "Передача NMEA по UDP";
const char* kEvents = "Передача при изменении состояния дискретного входа";
const char* kPoints = "Передача при входе/выходе в/из контрольной точки";

// Rows hold names as C strings; the ones built from the tables' N patterns
// are kept here for the life of the test program (a deque never moves them).
const char* KeptName(const QString& s)
{
    static std::deque<std::string> kept;
    return kept.emplace_back(s.toStdString()).c_str();
}

const QStringList kSendMethods = {"Периодическая передача", "Передача по времени", "Совмещенная передача",
                                  "Непрерывная передача"};

std::vector<FieldRow> TransferRows()
{
    std::vector<FieldRow> rows = {
        {.name = "edServer", .cls = "QLineEdit", .caption = "IP адрес сервера", .initial = "", .minVersion = 120,
         .keyFilter = "address", .maxLength = 128, .group = kServer},
        {.name = "edServerPort", .cls = "QLineEdit", .caption = "Порт сервера", .initial = "", .minVersion = 120,
         .keyFilter = "numeric", .group = kServer},
        {.name = "edPassword", .cls = "QLineEdit", .caption = "Пароль прибора", .initial = "", .minVersion = 120,
         .keyFilter = "literal", .maxLength = 8, .group = kServer},

        {.name = "cbSendMethod", .cls = "QComboBox", .caption = "Метод передачи", .captionLabel = "lblSendMethod",
         .items = kSendMethods, .initial = 0, .minVersion = 130, .group = kSend},
        {.name = "edSendPeriod", .cls = "QLineEdit", .caption = "Период передачи (сек):",
         .captionLabel = "lblSendPeriod", .initial = "", .minVersion = 120, .keyFilter = "numeric", .group = kSend},
        {.name = "edSendTime1", .cls = "QTimeEdit", .caption = "Время включения", .captionLabel = "lblSendTime",
         .minVersion = 130, .group = kSend},
        {.name = "edSendTime2", .cls = "QTimeEdit", .minVersion = 130, .group = kSend},
        {.name = "edSendTime3", .cls = "QTimeEdit", .minVersion = 130, .group = kSend},
        {.name = "edOnTime1", .cls = "QLineEdit", .caption = "Длительность (мин):", .captionLabel = "lblOnTime",
         .initial = "1", .minVersion = 130, .keyFilter = "numeric", .maxLength = 3, .group = kSend},
        {.name = "edOnTime2", .cls = "QLineEdit", .initial = "1", .minVersion = 130, .keyFilter = "numeric",
         .maxLength = 3, .group = kSend},
        {.name = "edOnTime3", .cls = "QLineEdit", .initial = "1", .minVersion = 130, .keyFilter = "numeric",
         .maxLength = 3, .group = kSend},
        // The captions of the schedule carry minimum versions of their own.
        {.name = "lblSendMethod", .cls = "QLabel", .caption = "Метод передачи", .minVersion = 130, .group = kSend},
        {.name = "lblSendPeriod", .cls = "QLabel", .caption = "Период передачи (сек):", .minVersion = 120,
         .group = kSend},
        {.name = "lblSendTime", .cls = "QLabel", .caption = "Время включения", .minVersion = 130, .group = kSend},
        {.name = "lblOnTime", .cls = "QLabel", .caption = "Длительность (мин):", .minVersion = 130, .group = kSend},

        {.name = "transfNMEA", .cls = "QCheckBox", .caption = "Включить передачу", .initial = false,
         .minVersion = 403, .group = kNmea},
        {.name = "edIpUDPServer", .cls = "QLineEdit", .caption = "IP адрес сервера", .captionLabel = "lblIpUDPServer",
         .initial = "", .minVersion = 403, .enabled = false, .group = kNmea},
        {.name = "edPortUDPServer", .cls = "QLineEdit", .caption = "Порт сервера", .captionLabel = "lblPortUDPServer",
         .initial = "", .minVersion = 403, .enabled = false, .group = kNmea},
        {.name = "lblIpUDPServer", .cls = "QLabel", .caption = "IP адрес сервера", .minVersion = 403, .group = kNmea},
        {.name = "lblPortUDPServer", .cls = "QLabel", .caption = "Порт сервера", .minVersion = 403, .group = kNmea},

        {.name = "gbSendEvtIn", .cls = "QGroupBox", .caption = kEvents},
        {.name = "lblSendEvtIn", .cls = "QLabel", .caption = "Вход:", .group = kEvents},
        {.name = "lblSendEvtLvlIn", .cls = "QLabel", .caption = "Состояние:", .group = kEvents},
        {.name = "lblSendEvtLenIn", .cls = "QLabel", .caption = "Длительность (мин)", .group = kEvents},

        // The control-point group is disabled, and Qt marks everything inside
        // a disabled container disabled as well.
        {.name = "gbSendEvCP", .cls = "QGroupBox", .caption = kPoints, .enabled = false},
        {.name = "lblSendEvCP", .cls = "QLabel", .caption = "К. точка", .enabled = false, .group = kPoints},
        {.name = "lblSendEvtLvlCP", .cls = "QLabel", .caption = "Состояние:", .enabled = false, .group = kPoints},
        {.name = "lblSendEvtLenCP", .cls = "QLabel", .caption = "Длительность (мин)", .enabled = false,
         .group = kPoints},
    };
    for (int n = 1; n <= 8; ++n) {
        rows.push_back({.name = KeptName(QString("cbSendEvtIn%1").arg(n)), .cls = "QCheckBox",
                        .caption = QString("Вх.%1").arg(n), .initial = false, .minVersion = 300, .group = kEvents});
        rows.push_back({.name = KeptName(QString("cbSendEvtLvlIn%1").arg(n)), .cls = "QComboBox",
                        .items = {"Замкнут", "Разомкнут"}, .initial = 0, .minVersion = 300, .group = kEvents});
        rows.push_back({.name = KeptName(QString("edSendEvtLenIn%1").arg(n)), .cls = "QLineEdit", .initial = "1",
                        .minVersion = 300, .keyFilter = "numeric", .group = kEvents});
        rows.push_back({.name = KeptName(QString("cbSendEvtContIn%1").arg(n)), .cls = "QCheckBox", .caption = "Непр.",
                        .initial = false, .minVersion = 300, .group = kEvents});
    }
    for (int n = 1; n <= 3; ++n) {
        rows.push_back({.name = KeptName(QString("cbSendEvCP%1").arg(n)), .cls = "QCheckBox",
                        .caption = QString("КТ%1").arg(n), .initial = false, .enabled = false, .group = kPoints});
        rows.push_back({.name = KeptName(QString("cbSendEvtLvlCP%1").arg(n)), .cls = "QComboBox",
                        .items = {"Вход", "Выход"}, .initial = 0, .enabled = false, .group = kPoints});
        rows.push_back({.name = KeptName(QString("edSendEvtLenCP%1").arg(n)), .cls = "QLineEdit", .initial = "1",
                        .enabled = false, .group = kPoints});
        rows.push_back({.name = KeptName(QString("cbSendEvtContCP%1").arg(n)), .cls = "QCheckBox",
                        .caption = "Непр.", .initial = false, .enabled = false, .group = kPoints});
    }
    return rows;
}

class TransferPageRows : public ::testing::TestWithParam<FieldRow> {
protected:
    TransferPage page;
};

TEST_P(TransferPageRows, MatchesTable) { CheckRow(&page, GetParam()); }

INSTANTIATE_TEST_SUITE_P(TransferPage, TransferPageRows, ::testing::ValuesIn(TransferRows()), RowTestName);

TEST(TransferPage, IsNamedAfterItsTab)
{
    TransferPage page;
    EXPECT_EQ(page.objectName(), "TabSheet15");
    EXPECT_EQ(page.windowTitle(), "Передача данных");
}

TEST(TransferPage, MetadataOnlyOnTableFields)
{
    TransferPage page;
    ExpectMetadataOnlyOnRows(&page, TransferRows());
}

TEST(TransferPage, TransferTimesShowHoursAndMinutesFromMidnight)
{
    TransferPage page;
    for (const char* name : {"edSendTime1", "edSendTime2", "edSendTime3"}) {
        auto* t = page.findChild<QTimeEdit*>(name);
        ASSERT_NE(t, nullptr) << name;
        EXPECT_EQ(t->displayFormat(), "HH:mm") << name;
        EXPECT_EQ(t->time(), QTime(0, 0)) << name;
        EXPECT_EQ(t->text(), "00:00") << name;
    }
}

TEST(TransferPage, ControlPointGroupStartsHiddenAndDisabled)
{
    TransferPage page;
    page.show();
    auto* points = page.findChild<QGroupBox*>("gbSendEvCP");
    ASSERT_NE(points, nullptr);
    EXPECT_TRUE(points->isHidden());
    EXPECT_FALSE(points->isEnabled());
    EXPECT_FALSE(page.findChild<QWidget*>("cbSendEvCP1")->isVisible());
    EXPECT_TRUE(page.findChild<QWidget*>("gbSendEvtIn")->isVisible());
}

TEST(TransferPage, FitsItsAreaWithAndWithoutTheControlPointGroup)
{
    TransferPage page;
    ExpectNothingClipped(&page, QSize(880, 520));
    page.findChild<QGroupBox*>("gbSendEvCP")->show();
    ExpectNothingClipped(&page, QSize(880, 520));
}

} // namespace
