#include "editor/FieldTable.h"

#include "editor/Editor.h"
#include "editor/binding/FieldAccess.h"
#include "editor/binding/SettingsTransfer.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>

#include <algorithm>
#include <map>
#include <utility>

namespace plendoro {

namespace {

// The table follows what the newest blocks carry; older ones carry less.
constexpr int kNewestFirmware = 403;

QString WithoutMnemonic(QString text)
{
    text.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

// A caption as a line of text: no mnemonic, no trailing colon.
QString Plain(const QString& text)
{
    QString t = WithoutMnemonic(text).trimmed();
    while (t.endsWith(QLatin1Char(':')))
        t = t.chopped(1).trimmed();
    return t;
}

QList<QRadioButton*> RadiosOf(const QWidget* group)
{
    return group->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly);
}

// Radio buttons read one by one still make one choice: their group's.
QWidget* RowWidgetOf(QWidget* field)
{
    if (qobject_cast<QRadioButton*>(field))
        if (auto* group = qobject_cast<QGroupBox*>(field->parentWidget()))
            return group;
    return field;
}

FieldRow::Kind KindOf(const QWidget* w)
{
    if (qobject_cast<const QGroupBox*>(w))
        return FieldRow::Kind::Radio;
    if (qobject_cast<const QComboBox*>(w))
        return FieldRow::Kind::Choice;
    if (qobject_cast<const QListWidget*>(w))
        return FieldRow::Kind::List;
    if (qobject_cast<const QAbstractButton*>(w))
        return FieldRow::Kind::Check;
    return FieldRow::Kind::Text;
}

int MinVersionOf(const QWidget* w)
{
    const QVariant own = w->property("minVersion");
    if (own.isValid())
        return own.toInt();
    // A group without a gate of its own exists from its first button's.
    int first = -1;
    if (qobject_cast<const QGroupBox*>(w))
        for (const QRadioButton* b : RadiosOf(w))
            if (const QVariant v = b->property("minVersion"); v.isValid())
                first = first < 0 ? v.toInt() : std::min(first, v.toInt());
    return first;
}

QGroupBox* TitledGroupAbove(const QWidget* w)
{
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (auto* g = qobject_cast<QGroupBox*>(p); g && !Plain(g->title()).isEmpty())
            return g;
    return nullptr;
}

// The page set that shows this page, or null.
QTabWidget* PageSetOf(const QWidget* page)
{
    QWidget* stack = page->parentWidget();
    return stack && qobject_cast<QStackedWidget*>(stack) ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
}

QString PageOf(const QTabWidget* top, QWidget* w)
{
    QStringList tabs;
    for (QWidget* x = w; x && x != top; x = x->parentWidget())
        if (QTabWidget* set = PageSetOf(x))
            tabs.prepend(Plain(set->tabText(set->indexOf(x))));
    return tabs.join(QStringLiteral(" / "));
}

struct Cell {
    int row = -1;
    int column = -1;
};

Cell CellOf(const QLayout* layout, QWidget* w)
{
    const auto* grid = qobject_cast<const QGridLayout*>(layout);
    const int index = grid ? grid->indexOf(w) : -1;
    Cell cell;
    if (index >= 0) {
        int rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(index, &cell.row, &cell.column, &rowSpan, &columnSpan);
    }
    return cell;
}

// Where a layout places w, outermost first: row and column per level.
bool LayoutPlace(QLayout* layout, const QWidget* w, std::vector<int>& place)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        int row = 0, column = i;
        if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
            int rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
        } else if (auto* form = qobject_cast<QFormLayout*>(layout)) {
            QFormLayout::ItemRole role{};
            form->getItemPosition(i, &row, &role);
            column = static_cast<int>(role);
        } else if (auto* box = qobject_cast<QBoxLayout*>(layout);
                   box &&
                   (box->direction() == QBoxLayout::TopToBottom || box->direction() == QBoxLayout::BottomToTop)) {
            row = i;
            column = 0;
        }
        std::vector<int> inner;
        if (item->widget() == w || (item->layout() && LayoutPlace(item->layout(), w, inner))) {
            place = {row, column};
            place.insert(place.end(), inner.begin(), inner.end());
            return true;
        }
    }
    return false;
}

// A sort key for "page by page, then top to bottom and left to right".
std::vector<int> PlaceOf(const QTabWidget* top, QWidget* w)
{
    std::vector<std::vector<int>> steps;
    for (QWidget* x = w; x && x != top && x->parentWidget(); x = x->parentWidget()) {
        std::vector<int> step;
        if (QTabWidget* set = PageSetOf(x))
            step = {set->indexOf(x)};
        else if (QLayout* layout = x->parentWidget()->layout())
            LayoutPlace(layout, x, step);
        steps.push_back(std::move(step));
    }
    std::vector<int> place;
    for (auto step = steps.rbegin(); step != steps.rend(); ++step)
        place.insert(place.end(), step->begin(), step->end());
    return place;
}

// A field in a titled group beside an untitled caption column takes the
// label on its row there. The inputs pages share some of those labels and
// move them to the page shown, so the same cell of the columns on the other
// pages of the page set counts too, after the field's own.
QString ColumnCaption(QWidget* w)
{
    auto* box = qobject_cast<QGroupBox*>(w->parentWidget());
    if (!box || !box->parentWidget())
        return {};
    const Cell cell = CellOf(box->layout(), w);
    const Cell boxCell = CellOf(box->parentWidget()->layout(), box);
    if (cell.row < 0 || boxCell.column <= 0)
        return {};
    QWidget* scope = box->parentWidget();
    for (QWidget* p = scope; p; p = p->parentWidget())
        if (qobject_cast<QTabWidget*>(p)) {
            scope = p;
            break;
        }
    QList<QGroupBox*> columns = scope->findChildren<QGroupBox*>();
    std::stable_partition(columns.begin(), columns.end(),
                          [&](const QGroupBox* c) { return c->parentWidget() == box->parentWidget(); });
    for (QGroupBox* column : columns) {
        const Cell at = CellOf(column->parentWidget() ? column->parentWidget()->layout() : nullptr, column);
        if (!column->title().isEmpty() || at.row != boxCell.row || at.column != 0)
            continue;
        auto* grid = qobject_cast<QGridLayout*>(column->layout());
        QLayoutItem* item = grid ? grid->itemAtPosition(cell.row, 0) : nullptr;
        auto* label = item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
        if (label && !Plain(label->text()).isEmpty())
            return Plain(label->text());
    }
    return {};
}

QString CaptionOf(QWidget* w, const QHash<const QWidget*, QLabel*>& buddies)
{
    if (auto* group = qobject_cast<QGroupBox*>(w))
        return Plain(group->title());
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return Plain(button->text());
    if (const QLabel* label = buddies.value(w); label && !Plain(label->text()).isEmpty())
        return Plain(label->text());
    // A field with no label of its own carries its caption on the form.
    if (const QString own = w->property("fieldCaption").toString(); !own.isEmpty())
        return own;
    if (QString column = ColumnCaption(w); !column.isEmpty())
        return column;
    if (const QGroupBox* group = TitledGroupAbove(w))
        return Plain(group->title());
    return w->objectName();
}

QStringList Lines(SettingsEditor& editor, const FieldRow& row)
{
    QStringList lines;
    if (auto* list = editor.FieldAs<QListWidget>(row.name))
        for (int i = 0; i < list->count(); ++i)
            lines << list->item(i)->text();
    return lines;
}

} // namespace

std::vector<FieldRow> FieldTable(SettingsEditor& editor)
{
    QStringList names;
    {
        FieldReadRecorder recorder;
        EncodeAllBlocks(editor, kNewestFirmware, 0);
        names = recorder.Names();
    }

    QTabWidget* top = editor.Pages();
    QHash<const QWidget*, QLabel*> buddies;
    for (QLabel* label : top->findChildren<QLabel*>())
        if (label->buddy())
            buddies.insert(label->buddy(), label);

    std::vector<std::pair<std::vector<int>, FieldRow>> placed;
    QList<const QWidget*> seen;
    for (const QString& name : names) {
        QWidget* field = editor.Field(name);
        if (!field)
            continue;
        QWidget* w = RowWidgetOf(field);
        if (seen.contains(w))
            continue;
        seen << w;
        const QGroupBox* group = TitledGroupAbove(w);
        FieldRow row{w->objectName(),       PageOf(top, w), group ? Plain(group->title()) : QString(),
                     CaptionOf(w, buddies), KindOf(w),      MinVersionOf(w)};
        placed.emplace_back(PlaceOf(top, w), std::move(row));
    }
    std::stable_sort(placed.begin(), placed.end(), [](const auto& x, const auto& y) { return x.first < y.first; });

    std::map<std::pair<QString, QString>, int> onPage;
    for (const auto& [place, row] : placed)
        ++onPage[{row.page, row.caption}];
    std::vector<FieldRow> rows;
    for (auto& [place, row] : placed) {
        if (onPage[{row.page, row.caption}] > 1 && !row.group.isEmpty())
            row.caption = row.group + QStringLiteral(": ") + row.caption;
        rows.push_back(std::move(row));
    }
    return rows;
}

QString ShownValue(SettingsEditor& editor, const FieldRow& row)
{
    QWidget* w = editor.Field(row.name);
    if (!w)
        return {};
    switch (row.kind) {
    case FieldRow::Kind::Text:
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            return edit->text();
        if (auto* spin = qobject_cast<QAbstractSpinBox*>(w))
            return spin->text();
        return {};
    case FieldRow::Kind::Check: {
        auto* box = qobject_cast<QAbstractButton*>(w);
        return box && box->isChecked() ? QStringLiteral("да") : QStringLiteral("нет");
    }
    case FieldRow::Kind::Choice: {
        auto* list = qobject_cast<QComboBox*>(w);
        return list && list->currentIndex() >= 0 ? list->currentText() : QString();
    }
    case FieldRow::Kind::Radio:
        for (const QRadioButton* b : RadiosOf(w))
            if (b->isChecked())
                return WithoutMnemonic(b->text());
        return {};
    case FieldRow::Kind::List: return Lines(editor, row).join(QStringLiteral(", "));
    }
    return {};
}

std::vector<Difference> Compare(SettingsEditor& a, int firmwareA, SettingsEditor& b, int firmwareB)
{
    using Kind = Difference::Kind;
    std::vector<Difference> differences;
    for (const FieldRow& row : FieldTable(a)) {
        const bool inA = row.minVersion <= firmwareA;
        const bool inB = row.minVersion <= firmwareB;
        if (!inA && !inB)
            continue;
        if (!inA || !inB) {
            differences.push_back({row, inA ? Kind::OnlyInA : Kind::OnlyInB, inA ? ShownValue(a, row) : kNotInVersion,
                                   inB ? ShownValue(b, row) : kNotInVersion});
            continue;
        }
        if (row.kind == FieldRow::Kind::List) {
            QStringList linesA = Lines(a, row), linesB = Lines(b, row);
            linesA.removeDuplicates();
            linesB.removeDuplicates();
            for (const QString& line : linesB)
                if (!linesA.contains(line))
                    differences.push_back({row, Kind::Added, QString(), line});
            for (const QString& line : linesA)
                if (!linesB.contains(line))
                    differences.push_back({row, Kind::Removed, line, QString()});
            continue;
        }
        const QString valueA = ShownValue(a, row), valueB = ShownValue(b, row);
        if (valueA != valueB)
            differences.push_back({row, Kind::Changed, valueA, valueB});
    }
    return differences;
}

} // namespace plendoro
