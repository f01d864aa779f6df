// The pick panel beside the view: the answer to the last pick, one row per field, in the words
// dunmeregl-cli pick prints.
#pragma once

#include "core/view/Pick.h"

#include <QWidget>

#include <vector>

class QTableWidget;

class TPickPanel : public QWidget {
    Q_OBJECT
public:
    explicit TPickPanel(QWidget* parent = nullptr);

    void ShowAnswer(const std::vector<TPickField>& fields);
    // The rows as "Label: Text" lines, the same text the tool prints.
    QString ShownText() const;

private:
    QTableWidget* rows_;
    std::vector<TPickField> fields_;
};
