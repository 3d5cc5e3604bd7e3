#include "DBusMenuExporter.h"

#include <QAction>
#include <QDBusMetaType>
#include <QMenu>

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayoutItem& item)
{
    argument.beginStructure();
    argument << item.id << item.properties;
    argument.beginArray(QMetaType::fromType<QDBusVariant>());
    for (const QDBusVariant& child : item.children)
        argument << child;
    argument.endArray();
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayoutItem& item)
{
    argument.beginStructure();
    argument >> item.id >> item.properties;
    argument.beginArray();
    item.children.clear();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        item.children.append(child);
    }
    argument.endArray();
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemProperties& item)
{
    argument.beginStructure();
    argument << item.id << item.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemProperties& item)
{
    argument.beginStructure();
    argument >> item.id >> item.properties;
    argument.endStructure();
    return argument;
}

DBusMenuExporter::DBusMenuExporter(QMenu* menu, QObject* parent)
    : QObject(parent)
    , m_menu(menu)
{
    registerTypes();
    watchActions();
}

void DBusMenuExporter::registerTypes()
{
    qDBusRegisterMetaType<DBusMenuLayoutItem>();
    qDBusRegisterMetaType<DBusMenuItemProperties>();
    qDBusRegisterMetaType<QList<DBusMenuItemProperties>>();
}

void DBusMenuExporter::watchActions()
{
    if (!m_menu)
        return;
    // Hosts cache the layout: a changed text ("Show"/"Hide") is a new one.
    for (QAction* action : m_menu->actions()) {
        connect(action, &QAction::changed, this, [this] {
            ++m_revision;
            emit LayoutUpdated(m_revision, 0);
        });
    }
}

QAction* DBusMenuExporter::actionOf(int id) const
{
    if (!m_menu || id < 1 || id > m_menu->actions().size())
        return nullptr;
    return m_menu->actions().at(id - 1);
}

QVariantMap DBusMenuExporter::propertiesOf(int id) const
{
    QVariantMap properties;
    if (id == 0) {
        properties.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
        return properties;
    }
    const QAction* action = actionOf(id);
    if (!action)
        return properties;
    if (action->isSeparator()) {
        properties.insert(QStringLiteral("type"), QStringLiteral("separator"));
    } else {
        properties.insert(QStringLiteral("label"), action->text());
        properties.insert(QStringLiteral("enabled"), action->isEnabled());
    }
    properties.insert(QStringLiteral("visible"), action->isVisible());
    return properties;
}

uint DBusMenuExporter::GetLayout(int parentId, int recursionDepth, const QStringList&,
                                 DBusMenuLayoutItem& layout)
{
    layout = {};
    layout.id = parentId;
    layout.properties = propertiesOf(parentId);
    // A flat menu: only the root has children.
    if (parentId == 0 && recursionDepth != 0 && m_menu) {
        for (int id = 1; id <= m_menu->actions().size(); ++id) {
            DBusMenuLayoutItem child;
            child.id = id;
            child.properties = propertiesOf(id);
            layout.children.append(QDBusVariant(QVariant::fromValue(child)));
        }
    }
    return m_revision;
}

QList<DBusMenuItemProperties> DBusMenuExporter::GetGroupProperties(const QList<int>& ids,
                                                                   const QStringList&)
{
    QList<DBusMenuItemProperties> list;
    for (int id : ids) {
        if (id == 0 || actionOf(id))
            list.append({id, propertiesOf(id)});
    }
    return list;
}

QDBusVariant DBusMenuExporter::GetProperty(int id, const QString& name)
{
    return QDBusVariant(propertiesOf(id).value(name));
}

void DBusMenuExporter::Event(int id, const QString& eventId, const QDBusVariant&, uint)
{
    QAction* action = actionOf(id);
    if (eventId != QLatin1String("clicked") || !action || action->isSeparator() ||
        !action->isEnabled())
        return;
    // After the reply: the action may quit the program.
    QMetaObject::invokeMethod(action, &QAction::trigger, Qt::QueuedConnection);
}

bool DBusMenuExporter::AboutToShow(int)
{
    return false;
}

QList<int> DBusMenuExporter::AboutToShowGroup(const QList<int>&, QList<int>& idErrors)
{
    idErrors = {};
    return {};
}
