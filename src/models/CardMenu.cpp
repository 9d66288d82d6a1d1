#include "CardMenu.h"

#include "models/LenientJson.h"
#include "models/ModelHashing.h"

using namespace Qt::StringLiterals;

CardMenu CardMenu::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    CardMenu menu; // a fresh local id
    menu.menuId = flexibleString(object, "id"_L1);
    menu.examBankId = flexibleOptionalString(object, "examBankId"_L1);
    menu.questionType = QuestionTypes::fromLenientRawValue(flexibleInt(object, "questionType"_L1, 1));
    menu.menuType = flexibleOptionalInt(object, "menuType"_L1);
    menu.name = flexibleString(object, "name"_L1);
    menu.parentId = flexibleOptionalString(object, "parentId"_L1);
    menu.count = flexibleInt(object, "cnt"_L1, 0);
    menu.userWorkCount = flexibleInt(object, "userWorkCnt"_L1, 0);
    menu.needVip = flexibleInt(object, "needVip"_L1, 0);
    menu.children = flexibleList<CardMenu>(object, "children"_L1);
    return menu;
}

QJsonObject CardMenu::toJson() const
{
    QJsonObject object;
    object.insert("id"_L1, menuId);
    if (examBankId)
        object.insert("examBankId"_L1, *examBankId);
    object.insert("questionType"_L1, QuestionTypes::rawValue(questionType));
    if (menuType)
        object.insert("menuType"_L1, *menuType);
    object.insert("name"_L1, name);
    if (parentId)
        object.insert("parentId"_L1, *parentId);
    object.insert("children"_L1, encodeList(children));
    object.insert("cnt"_L1, count);
    object.insert("userWorkCnt"_L1, userWorkCount);
    object.insert("needVip"_L1, needVip);
    return object;
}

bool CardMenu::operator==(const CardMenu &other) const
{
    return id == other.id && menuId == other.menuId && examBankId == other.examBankId
        && questionType == other.questionType && menuType == other.menuType && name == other.name
        && parentId == other.parentId && count == other.count && userWorkCount == other.userWorkCount
        && needVip == other.needVip && children == other.children;
}

size_t qHash(const CardMenu &menu, size_t seed)
{
    seed = qHashMulti(seed, menu.id, menu.menuId);
    seed = qHashOptional(menu.examBankId, seed);
    seed = qHashMulti(seed, QuestionTypes::rawValue(menu.questionType));
    seed = qHashOptional(menu.menuType, seed);
    seed = qHashMulti(seed, menu.name);
    seed = qHashOptional(menu.parentId, seed);
    seed = qHashMulti(seed, menu.count, menu.userWorkCount, menu.needVip);
    return qHashList(menu.children, seed);
}
