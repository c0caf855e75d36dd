#include "app/dialogs/obj_vertices_page.h"

#include <QBoxLayout>
#include <QLabel>

namespace kel {

ObjVerticesPage::ObjVerticesPage(QWidget* parent)
    : PropertyPage(QStringLiteral("Vertices"), parent) {
    auto* box = static_cast<QBoxLayout*>(layout());
    box->addWidget(new QLabel(QStringLiteral("Not yet implemented")));
    box->addStretch();
}

ObjVerticesPage::ObjVerticesPage(const SceneObject& /*object*/, QWidget* parent)
    : ObjVerticesPage(parent) {}

}  // namespace kel
