#pragma once

class QComboBox;
class QWidget;

/// An editable choice box that keeps what is typed as typed: no completion, and Enter never adds
/// the text to the choices by itself.
QComboBox *makeTypedChoiceBox(QWidget *parent);
