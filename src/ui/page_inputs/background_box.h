#pragma once

#include "core/model/page_set.h"

#include <QGroupBox>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zelmora {

// The background inputs (Frame8): the kind, the attribute name it implies,
// and the value, a colour from the colour dialog or a picture's file name.
class BackgroundBox : public QGroupBox {
    Q_OBJECT
public:
    explicit BackgroundBox(QWidget *parent = nullptr);

    BackgroundKind kind() const;
    // Selects the kind's option as a click would: the kind rule runs, even
    // for the option already selected.
    void selectKind(BackgroundKind kind);

    QString attribute() const;
    void setAttribute(const QString &attribute);
    QString value() const;
    void setValue(const QString &value);

    // SelColor_BK: the colour dialog; a cancelled dialog leaves the value.
    void chooseColour();

    // Whether widget is the picture button (OpenFiles_BK), open for a pick.
    bool isOpenPictureButton(const QWidget *widget) const;

signals:
    // OpenFiles_BK was pressed.
    void pictureRequested();

private:
    void applyKindRule();

    QButtonGroup *m_kind = nullptr;
    QPushButton *m_colourButton = nullptr;
    QPushButton *m_pictureButton = nullptr;
    QLabel *m_attribute = nullptr;
    QLineEdit *m_value = nullptr;
};

} // namespace zelmora
