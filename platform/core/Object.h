#pragma once
// The root of the objects a container may hold by reference without knowing
// their type (the object slots of grid cells and string lists). Deleting
// through it runs the derived destructor.

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = default;
    TObject& operator=(const TObject&) = default;
    virtual ~TObject();
};
