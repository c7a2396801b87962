// Page "Настройки WiFI": network name, authentication, channel, network type,
// addressing and encryption.

#include "PageFieldTable.h"
#include "editor/pages/WifiPage.h"

using namespace pagetest;

using namespace plendoro;

namespace {

const char* kName = "Имя сети";
const char* kIp = "Настройки IP";
const char* kEncrypt = "Шифрование";

std::vector<FieldRow> WifiRows()
{
    QStringList channels = {"Авто"};
    for (int i = 1; i <= 12; ++i)
        channels << QString::number(i);
    return {
        {.name = "edSSID", .cls = "QLineEdit", .caption = "Имя сети (SSID)", .initial = "", .minVersion = 120,
         .keyFilter = "literal", .maxLength = 35, .group = kName},
        {.name = "cbAuth", .cls = "QComboBox", .caption = "Проверка подлинности", .items = {"Открытая", "Совместная"},
         .initial = 0, .minVersion = 120},
        {.name = "cbwChanel", .cls = "QComboBox", .caption = "Используемый канал", .items = channels, .initial = 0,
         .minVersion = 305},

        {.name = "rbDHCPIp", .cls = "QRadioButton", .caption = "Получить IP-адрес автоматически", .initial = true,
         .minVersion = 120, .group = kIp},
        {.name = "rbManualIp", .cls = "QRadioButton", .caption = "Использовать следующие настройки сети:",
         .initial = false, .minVersion = 120, .group = kIp},
        {.name = "edIpAddress", .cls = "QLineEdit", .caption = "IP устройства", .initial = "192.168.0.2",
         .minVersion = 120, .keyFilter = "address", .group = kIp},
        {.name = "edIpMask", .cls = "QLineEdit", .caption = "Маска подсети", .initial = "255.255.255.0",
         .minVersion = 120, .keyFilter = "address", .group = kIp},
        {.name = "edDefGate", .cls = "QLineEdit", .caption = "Шлюз", .initial = "192.168.0.1", .minVersion = 120,
         .keyFilter = "address", .group = kIp},

        {.name = "rgWiFiType", .cls = "QGroupBox", .caption = "Тип сети",
         .items = {"Сеть \"Прибор - Точка доступа\"", "Сеть \"Прибор - Компьютер\""}, .initial = 0,
         .minVersion = 130},

        // The list's caption is its group.
        {.name = "cbEncrypt", .cls = "QComboBox", .items = {"Без шифрования", "WEP64", "WEP128"}, .initial = 0,
         .minVersion = 120, .group = kEncrypt},
        // "Без шифрования" is selected, so the key caption is the plain one.
        {.name = "edWEPKey", .cls = "QLineEdit", .caption = "Ключ шифрования", .captionLabel = "lblWEPKey",
         .initial = "", .minVersion = 120, .keyFilter = "literal", .maxLength = 35, .group = kEncrypt},
    };
}

class WifiPageRows : public ::testing::TestWithParam<FieldRow> {
protected:
    WifiPage page;
};

TEST_P(WifiPageRows, MatchesTable) { CheckRow(&page, GetParam()); }

INSTANTIATE_TEST_SUITE_P(WifiPage, WifiPageRows, ::testing::ValuesIn(WifiRows()), RowTestName);

TEST(WifiPage, IsNamedAfterItsTab)
{
    WifiPage page;
    EXPECT_EQ(page.objectName(), "TabSheet1");
    EXPECT_EQ(page.windowTitle(), "Настройки WiFI");
}

TEST(WifiPage, MetadataOnlyOnTableFields)
{
    WifiPage page;
    ExpectMetadataOnlyOnRows(&page, WifiRows());
}

// The address mode and the network type are two separate choices: picking
// one must not clear the other.
TEST(WifiPage, AddressModeAndNetworkTypeChooseIndependently)
{
    WifiPage page;
    auto* dhcp = page.findChild<QRadioButton*>("rbDHCPIp");
    auto* manual = page.findChild<QRadioButton*>("rbManualIp");
    auto* type = page.findChild<QGroupBox*>("rgWiFiType");
    ASSERT_TRUE(dhcp && manual && type);

    manual->setChecked(true);
    EXPECT_FALSE(dhcp->isChecked());
    EXPECT_EQ(CheckedRadio(type), 0);

    RadioItems(type)[1]->setChecked(true);
    EXPECT_TRUE(manual->isChecked());
    EXPECT_EQ(CheckedRadio(type), 1);

    dhcp->setChecked(true);
    EXPECT_FALSE(manual->isChecked());
    EXPECT_EQ(CheckedRadio(type), 1);
}

TEST(WifiPage, FitsItsArea)
{
    WifiPage page;
    ExpectNothingClipped(&page, QSize(880, 520));
}

} // namespace
