#include "app/VariationList.h"

#include "controls/Nxcomponentutils.h"
#include "layout/Layout.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

const QColor kGround(0, 15, 0);
const QColor kTeal(0, 128, 128);
const QColor kSelectedGround(0, 70, 60);
const QColor kSelectedText(150, 255, 230);
const QColor kEmptyText(90, 170, 160);

// Space between a line's edge and its text, and at least between the longest name and the notes.
constexpr int kTextLeft = 3;
constexpr int kNameGap = 12;
// The notes start on a multiple of this, as at a tab stop.
constexpr int kTabWidth = 50;

// A line: its name, and from the first tab on its notes at the list's note column.
class LineDelegate : public QStyledItemDelegate {
public:
    explicit LineDelegate(VariationListBox* list) : QStyledItemDelegate(list), list_(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        painter->save();
        if (selected)
            painter->fillRect(option.rect, option.palette.color(QPalette::Highlight));
        painter->setFont(option.font);
        painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        const QString text = index.data(Qt::DisplayRole).toString();
        const qsizetype tab = text.indexOf(QChar('\t'));
        const QRect area = option.rect.adjusted(kTextLeft, 0, 0, 0);
        const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
        painter->drawText(area, flags, tab < 0 ? text : text.left(tab));
        if (tab >= 0)
            painter->drawText(area.adjusted(list_->NoteColumn(), 0, 0, 0), flags, text.mid(tab + 1));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), layout::ListItemHeight};
    }

private:
    const VariationListBox* list_;
};

} // namespace

VariationListBox::VariationListBox(QWidget* parent) : QListWidget(parent), emptyText_(new QLabel(viewport()))
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setUniformItemSizes(true);
    setItemDelegate(new LineDelegate(this));
    QPalette colours = palette();
    colours.setColor(QPalette::Base, kGround);
    colours.setColor(QPalette::Text, kTeal);
    colours.setColor(QPalette::Highlight, kSelectedGround);
    colours.setColor(QPalette::HighlightedText, kSelectedText);
    setPalette(colours);

    emptyText_->setObjectName("EmptyListText");
    emptyText_->setAlignment(Qt::AlignCenter);
    emptyText_->setWordWrap(true);
    emptyText_->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette textColour = emptyText_->palette();
    textColour.setColor(QPalette::WindowText, kEmptyText);
    emptyText_->setPalette(textColour);
    emptyText_->setFont(FontFromPixels("Arial", 16));
    emptyText_->hide();

    connect(this, &QListWidget::currentRowChanged, this, [this] {
        if (programmatic_)
            return;
        clickAnswered_ = true;
        emit lineClicked();
    });
    // A click on the line that is already selected changes nothing, and is a click still.
    connect(this, &QListWidget::itemClicked, this, [this] {
        if (!clickAnswered_)
            emit lineClicked();
    });
    // Tied to the text, which goes before the lines when the list is destroyed.
    QAbstractItemModel* lines = model();
    const auto update = [this] { updateEmptyText(); };
    connect(lines, &QAbstractItemModel::rowsInserted, emptyText_, update);
    connect(lines, &QAbstractItemModel::rowsRemoved, emptyText_, update);
    connect(lines, &QAbstractItemModel::modelReset, emptyText_, update);
}

void VariationListBox::SetLines(const std::vector<std::string>& lines)
{
    // All lines go in as one insertion, and the list repaints once.
    QStringList texts;
    texts.reserve(qsizetype(lines.size()));
    for (const std::string& line : lines)
        texts.push_back(FromDataText(line));
    programmatic_ = true;
    setUpdatesEnabled(false);
    clear();
    addItems(texts);
    setUpdatesEnabled(true);
    programmatic_ = false;
    placeNoteColumn();
}

void VariationListBox::SelectLine(int row)
{
    programmatic_ = true;
    setCurrentRow(row);
    programmatic_ = false;
}

// The notes start on the first tab stop that leaves room after the longest name.
void VariationListBox::placeNoteColumn()
{
    const QFontMetrics metrics(font());
    int widest = 0;
    for (int i = 0; i < count(); ++i) {
        const QString text = item(i)->text();
        const qsizetype tab = text.indexOf(QChar('\t'));
        if (tab >= 0)
            widest = std::max(widest, metrics.horizontalAdvance(text.left(tab)));
    }
    noteColumn_ = (widest + kNameGap + kTabWidth - 1) / kTabWidth * kTabWidth;
}

void VariationListBox::SetEmptyText(const QString& text)
{
    emptyText_->setText(text);
    updateEmptyText();
}

QString VariationListBox::EmptyText() const
{
    return emptyText_->text();
}

bool VariationListBox::EmptyTextShown() const
{
    return !emptyText_->isHidden();
}

void VariationListBox::updateEmptyText()
{
    emptyText_->setGeometry(viewport()->rect().adjusted(8, 8, -8, -8));
    emptyText_->setVisible(count() == 0 && !emptyText_->text().isEmpty());
}

void VariationListBox::mousePressEvent(QMouseEvent* event)
{
    clickAnswered_ = false;
    QListWidget::mousePressEvent(event);
}

void VariationListBox::resizeEvent(QResizeEvent* event)
{
    QListWidget::resizeEvent(event);
    updateEmptyText();
}
