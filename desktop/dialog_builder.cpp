#include "dialog_builder.h"

#include <map>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace desktop {

namespace {

using app::DialogItem;
using platform::DialogControlKind;

QString qs(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Where the controls of one group go: a group box with its own form, or the dialog's form.
class Forms {
  public:
    Forms(QDialog* dialog, QVBoxLayout* top, const app::DialogTemplate& t)
        : dialog_(dialog), top_(top), t_(t) {}

    QFormLayout* of(int group) {
        auto it = forms_.find(group);
        if (it != forms_.end())
            return it->second;
        auto* form = new QFormLayout;
        form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
        if (group > 0 && group <= static_cast<int>(t_.groups.size())) {
            auto* box = new QGroupBox(qs(t_.groups[static_cast<size_t>(group - 1)]), dialog_);
            box->setLayout(form);
            top_->addWidget(box);
        } else {
            top_->addLayout(form);
        }
        forms_[group] = form;
        return form;
    }

  private:
    QDialog* dialog_;
    QVBoxLayout* top_;
    const app::DialogTemplate& t_;
    std::map<int, QFormLayout*> forms_;
};

}  // namespace

bool runTemplateDialog(QWidget* owner, const app::DialogTemplate& t,
                       platform::DialogRequest& request) {
    QDialog dialog(owner);
    dialog.setObjectName(QString::number(t.id));
    dialog.setWindowTitle(qs(t.title));
    dialog.setModal(true);
    auto* top = new QVBoxLayout(&dialog);
    top->setSizeConstraint(QLayout::SetFixedSize);
    Forms forms(&dialog, top, t);
    std::map<int, QButtonGroup*> radioGroups;
    std::map<int, QLineEdit*> edits;
    QLineEdit* firstEdit = nullptr;

    for (const DialogItem& item : t.items) {
        if (item.kind == DialogControlKind::PushButton)
            continue;
        platform::DialogControl* c = request.find(item.id);
        if (!c)
            continue;
        QFormLayout* form = forms.of(item.group);
        const QString name = QString::number(item.id);
        switch (item.kind) {
            case DialogControlKind::Edit: {
                auto* e = new QLineEdit(qs(c->text), &dialog);
                e->setObjectName(name);
                // The fields without a label of their own take number lists: room for 20.
                e->setMinimumWidth(item.caption.empty() ? 400 : 90);
                e->setCursorPosition(0);
                e->setEnabled(c->enabled);
                if (item.caption.empty()) {
                    form->addRow(e);
                } else {
                    auto* label = new QLabel(qs(item.caption), &dialog);
                    label->setBuddy(e);
                    label->setEnabled(c->enabled);
                    form->addRow(label, e);
                }
                edits[item.id] = e;
                if (!firstEdit && c->enabled)
                    firstEdit = e;
                break;
            }
            case DialogControlKind::Static: {
                auto* label = new QLabel(qs(c->text), &dialog);
                label->setObjectName(name);
                label->setTextFormat(Qt::PlainText);
                label->setEnabled(c->enabled);
                form->addRow(label);
                break;
            }
            case DialogControlKind::Radio:
            case DialogControlKind::CheckBox: {
                QAbstractButton* b;
                if (item.kind == DialogControlKind::Radio) {
                    b = new QRadioButton(qs(item.caption), &dialog);
                    QButtonGroup*& group = radioGroups[item.group];
                    if (!group)
                        group = new QButtonGroup(&dialog);
                    group->addButton(b, item.id);
                } else {
                    b = new QCheckBox(qs(item.caption), &dialog);
                }
                b->setObjectName(name);
                // As wide as its caption: a click beside the caption is not on the button.
                b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
                b->setChecked(c->checked);
                b->setEnabled(c->enabled);
                form->addRow(b);
                // Each click goes to the request as the user made it, in order.
                const int id = item.id;
                QObject::connect(b, &QAbstractButton::clicked, &dialog,
                                 [&request, id](bool on) { request.setChecked(id, on); });
                break;
            }
            case DialogControlKind::PushButton:
                break;
        }
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    for (const DialogItem& item : t.items) {
        if (item.kind != DialogControlKind::PushButton)
            continue;
        QPushButton* b = buttons->button(item.id == app::kDialogOk ? QDialogButtonBox::Ok
                                                                   : QDialogButtonBox::Cancel);
        b->setObjectName(QString::number(item.id));
        b->setText(qs(item.caption));
    }
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    top->addWidget(buttons);

    if (firstEdit) {
        firstEdit->setFocus(Qt::TabFocusReason);
        firstEdit->selectAll();
    }
    const bool ok = dialog.exec() == QDialog::Accepted;
    for (auto& [id, e] : edits)
        if (platform::DialogControl* c = request.find(id))
            c->text = e->text().toStdString();
    return ok;
}

}  // namespace desktop
