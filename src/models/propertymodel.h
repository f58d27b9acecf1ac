#pragma once

#include "modelbase.h"

class PropertyModel : public ModelBase
{
    Q_OBJECT
public:
    explicit PropertyModel(Database *db, QObject *parent = nullptr);
};
