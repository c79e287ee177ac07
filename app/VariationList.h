// The main window's variation list (List): one line per voicing, dark green with teal
// text. A line's name runs up to its first tab and its notes follow in one column that
// starts at the same place on every line, however long the names are. When there is
// nothing to list, a short text can stand in the empty list without being a line.
// Called on the GUI thread.
#pragma once

#include <QListWidget>

#include <string>
#include <vector>

class QLabel;

class VariationListBox : public QListWidget {
    Q_OBJECT
public:
    explicit VariationListBox(QWidget* parent = nullptr);

    // Replaces the lines, with no line selected; lineClicked is not emitted.
    void SetLines(const std::vector<std::string>& lines);
    // Selects a line (-1 for none) for the program; lineClicked is not emitted.
    void SelectLine(int row);
    // The text shown in the list while it has no lines; "" shows nothing.
    void SetEmptyText(const QString& text);
    QString EmptyText() const;
    // Whether the empty-list text is on show now.
    bool EmptyTextShown() const;
    // Where the notes of every line start, in pixels from the line's text start.
    int NoteColumn() const { return noteColumn_; }

signals:
    // The user moved the selection (keys, mouse) or clicked a line: the list's click event.
    void lineClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateEmptyText();
    void placeNoteColumn();

    QLabel* emptyText_;
    int noteColumn_ = 0;
    bool programmatic_ = false;
    bool clickAnswered_ = false;
};
