#pragma once
// Builds the pop-up snippet menu from the document at every rebuild of the
// view. The view runs without one (then the tree is built on its own).

class CTessaryDoc;

class IHookMenuBuilder {
public:
    virtual ~IHookMenuBuilder() = default;
    // False when the menu cannot be built from the library; the view then
    // builds no tree.
    virtual bool LoadHookMenu(CTessaryDoc& doc) = 0;
    virtual void DestroyHookMenu() = 0;
};
