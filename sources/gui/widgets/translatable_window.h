// Translation of a window by component name: captions of buttons, labels,
// group boxes, tabs, menus and actions, found by their object names. After
// each translation a control's accessible name is its caption.
#pragma once

#include <QWidget>

#include "settings/language.h"

class TQtTranslatableWindow final : public TTranslatableWindow {
public:
    explicit TQtTranslatableWindow(QWidget& root) : Root(root) {}

    std::string WindowName() const override;
    TStringList ComponentNames() const override;
    std::optional<TPropertyValue> GetProperty(const std::string& component, const std::string& property) const override;
    void SetProperty(const std::string& component, const std::string& property, const TPropertyValue& value) override;

private:
    QWidget& Root;
    QObject* Find(const std::string& component) const;
};

// Translates the named components of `root` and renews the accessible names
// of every named control in it.
void TranslateWindow(QWidget& root, const TStringList& componentNames);
// The caption of a control (text, title or tab text), empty when it has none.
QString CaptionOf(const QObject* object);
// Accessible names: a control's caption without "&"; a control without a
// caption keeps the accessible name of its form, translated.
void RenewAccessibleNames(QWidget& root);
QString QStr(const std::string& text);
