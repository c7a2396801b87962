// The byte log in Qt's logging: silent unless a rule asks for it, and then
// the exchanges with the simulated tracker show in their categories.
#include "app/LinkLogging.h"
#include "common/Log.h"
#include "editor/binding/SettingsTransfer.h"
#include "link/Identification.h"
#include "link/Protocol.h"
#include "link/UsbLink.h"
#include "plendoro_sim.h"

#include <QLoggingCategory>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>

using namespace plendoro;

namespace {

struct Message {
    QString category;
    QtMsgType type;
    QString text;
};

QList<Message> gMessages;

void Collect(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    const QString category = QString::fromLatin1(context.category ? context.category : "");
    if (category.startsWith(QLatin1String("plendoro.")))
        gMessages.append({category, type, text});
}

class LinkLoggingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gMessages.clear();
        QLoggingCategory::setFilterRules(QString());
        previous_ = qInstallMessageHandler(&Collect);
        InstallLinkLogging();
        setenv("PLENDORO_D2XX_LIBRARY", PLENDORO_SIM_LIBRARY, 1);
        PlSim_Reset();
        ASSERT_TRUE(link.Bind());
    }
    void TearDown() override
    {
        SetLogSink(nullptr);
        qInstallMessageHandler(previous_);
        QLoggingCategory::setFilterRules(QString());
    }

    // Finding the tracker, its versions and one block read, as the window
    // does on attach and on "read settings".
    void Exchange()
    {
        std::string serial;
        ASSERT_TRUE(link.Identify(&serial));
        link.SetConnected(true);
        DeviceIdentity identity;
        ASSERT_TRUE(ReadVersions(link, identity));
        ASSERT_TRUE(link.Open());
        std::array<std::uint8_t, kPacketBufferSize> buffer{};
        std::string failure;
        EXPECT_TRUE(
            Transact(link, clock, buffer.data(), 1, BlockSize(BlockId::Net, identity.firmwareVersion), 0, failure))
            << failure;
        link.Close();
    }

    QStringList Texts(const char* category) const
    {
        QStringList texts;
        for (const Message& m : gMessages)
            if (m.category == QLatin1String(category))
                texts << m.text;
        return texts;
    }

    UsbLink link;
    SystemClock& clock = SystemClock::Instance();
    QtMessageHandler previous_ = nullptr;
};

} // namespace

TEST_F(LinkLoggingTest, SilentByDefault)
{
    EXPECT_FALSE(LogEnabled(LogChannel::Link));
    EXPECT_FALSE(LogEnabled(LogChannel::Presence));
    Exchange();
    EXPECT_TRUE(gMessages.isEmpty()) << gMessages.size()
                                     << " messages, the first: " << gMessages.value(0).text.toStdString();
}

TEST_F(LinkLoggingTest, RulesTurnTheChannelsOnOneByOne)
{
    QLoggingCategory::setFilterRules(QStringLiteral("plendoro.link.debug=true"));
    EXPECT_TRUE(LogEnabled(LogChannel::Link));
    EXPECT_FALSE(LogEnabled(LogChannel::Presence));
    Exchange();

    const QStringList lines = Texts("plendoro.link");
    const std::string all = lines.join('\n').toStdString();
    EXPECT_TRUE(Texts("plendoro.presence").isEmpty());
    EXPECT_TRUE(lines.contains(QStringLiteral("open: device 0"))) << all;
    EXPECT_TRUE(lines.contains(QStringLiteral("close"))) << all;
    EXPECT_FALSE(lines.filter(QStringLiteral("text request \"FL_READ_VERSION$\"")).isEmpty()) << all;
    EXPECT_FALSE(
        lines.filter(QStringLiteral("transact id=1: attempt 1 request 48 44 52 56 31 2E 30 00 10 00 10 00 01 00 E3 36"))
            .isEmpty())
        << all;
    for (const Message& m : gMessages)
        EXPECT_EQ(m.type, QtDebugMsg);

    // The library a fault report came through is named in it.
    UsbLink second;
    ASSERT_TRUE(second.Bind());
    EXPECT_TRUE(Texts("plendoro.link").contains(QStringLiteral("bind: " PLENDORO_SIM_LIBRARY))) << all;

    gMessages.clear();
    QLoggingCategory::setFilterRules(QStringLiteral("plendoro.link.debug=true\nplendoro.presence.debug=true"));
    Exchange();
    const QStringList presence = Texts("plendoro.presence");
    EXPECT_TRUE(presence.contains(QStringLiteral("identify: device 0, serial \"0005000\"")))
        << presence.join('\n').toStdString();
}
