#pragma once
// Class references. Every class that is chosen by a class-level function has
// one static descriptor: its name, its parent's descriptor and, in descriptor
// subclasses, its class-level virtual functions and its virtual constructor.
// Descriptors are the one way such choices are made.

#include <QString>

class TMetaClass {
public:
    constexpr TMetaClass(const char *name, const TMetaClass *parent) : FName(name), FParent(parent) {}
    TMetaClass(const TMetaClass &) = delete;
    TMetaClass &operator=(const TMetaClass &) = delete;

    QString ClassName() const { return QString::fromLatin1(FName); }
    const TMetaClass *ClassParent() const { return FParent; }
    // True for this class and every class it descends from.
    bool InheritsFrom(const TMetaClass *other) const;
    // What a virtual constructor of an abstract class does: raises Exception.
    [[noreturn]] void AbstractError() const;

protected:
    ~TMetaClass() = default;

private:
    const char *FName;
    const TMetaClass *FParent;
};

// Objects whose class can be asked at run time.
class TObjectWithClass {
public:
    virtual ~TObjectWithClass() = default;
    virtual const TMetaClass &ClassType() const = 0;
    bool InheritsFrom(const TMetaClass &cls) const { return ClassType().InheritsFrom(&cls); }
};
