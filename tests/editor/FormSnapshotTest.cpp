// The forms of every page against the checked-in snapshot. A change to a
// form is either a fault or meant; when it is meant,
// scripts/update-form-snapshot.sh writes the new snapshot for review. This
// test only ever reads the checked-in file.
#include "FormSnapshot.h"
#include "editor/EditorPages.h"

#include <QFile>
#include <QStringList>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

using namespace plendoro;

namespace {

const QString kSnapshotPath = QStringLiteral(PLENDORO_TEST_DATA "/forms.snapshot");
// Set only by scripts/update-form-snapshot.sh: where to write the snapshot.
constexpr const char* kWriteVariable = "PLENDORO_WRITE_FORM_SNAPSHOT";

// The first differing line and a few after it, from both sides.
std::string FirstDifference(const QStringList& expected, const QStringList& actual)
{
    const qsizetype common = std::min(expected.size(), actual.size());
    qsizetype first = 0;
    while (first < common && expected[first] == actual[first])
        ++first;
    constexpr qsizetype kShown = 5;
    std::string text = "first difference at line " + std::to_string(first + 1) + "\n";
    for (qsizetype i = first; i < std::min(first + kShown, expected.size()); ++i)
        text += "- " + expected[i].toStdString() + "\n";
    for (qsizetype i = first; i < std::min(first + kShown, actual.size()); ++i)
        text += "+ " + actual[i].toStdString() + "\n";
    return text;
}

TEST(FormSnapshot, EveryPageMatchesTheCheckedInSnapshot)
{
    QTabWidget pages;
    AddEditorPages(&pages);
    const QString actual = test::FormSnapshot(pages);

    if (const char* target = std::getenv(kWriteVariable); target && *target) {
        QFile out(QString::fromLocal8Bit(target));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate)) << target;
        out.write(actual.toUtf8());
        GTEST_SKIP() << "snapshot written to " << target;
    }

    QFile in(kSnapshotPath);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly))
        << kSnapshotPath.toStdString() << " is missing; scripts/update-form-snapshot.sh writes it";
    const QString expected = QString::fromUtf8(in.readAll());
    if (expected != actual) {
        ADD_FAILURE() << "the forms differ from " << kSnapshotPath.toStdString()
                      << " (- snapshot, + forms); if the change is meant, run scripts/update-form-snapshot.sh\n"
                      << FirstDifference(expected.split(QLatin1Char('\n')), actual.split(QLatin1Char('\n')));
    }
}

// The snapshot would hide a fault if it left out what it claims to show.
TEST(FormSnapshot, ShowsEveryColumnOfAField)
{
    QTabWidget pages;
    AddEditorPages(&pages);
    const QStringList lines = test::FormSnapshot(pages).split(QLatin1Char('\n'));
    auto lineOf = [&](const QString& name) {
        for (const QString& l : lines)
            if (l.startsWith(name + test::kFormSnapshotSeparator))
                return l.split(test::kFormSnapshotSeparator);
        return QStringList();
    };
    const QStringList spin = lineOf(QStringLiteral("edAIn1DigLevel"));
    ASSERT_EQ(spin.size(), test::kFormSnapshotColumns.size());
    auto* field = pages.findChild<QSpinBox*>(QStringLiteral("edAIn1DigLevel"));
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(spin[5], QString::number(field->value()));
    field->setValue(field->value() + 1);
    field->setEnabled(!field->isEnabled());
    field->setProperty("minVersion", 999);
    const QStringList changed = test::FormSnapshot(pages).split(QLatin1Char('\n'));
    QStringList after;
    for (const QString& l : changed)
        if (l.startsWith(QStringLiteral("edAIn1DigLevel") + test::kFormSnapshotSeparator))
            after = l.split(test::kFormSnapshotSeparator);
    ASSERT_EQ(after.size(), spin.size());
    EXPECT_NE(after[5], spin[5]) << "initial value";
    EXPECT_EQ(after[7], QStringLiteral("999")) << "minVersion";
    EXPECT_NE(after[10], spin[10]) << "enabled";
    EXPECT_EQ(after[11], spin[11]) << "group stays";
}

} // namespace
