#pragma once
// Enumerations of the DTD declarations.

#include <cstdint>

// The top node of an element's content model.
enum TContentKind : uint8_t { ckEmpty, ckAny, ckMixed, ckChildren };
// How often a particle or group may occur.
enum TOccurrence : uint8_t { ocOnce, ocOptional, ocZeroOrMore, ocOneOrMore };
// The declared type of an attribute.
enum TAttType : uint8_t {
    atCDATA,
    atID,
    atIDREF,
    atIDREFS,
    atENTITY,
    atENTITIES,
    atNMTOKEN,
    atNMTOKENS,
    atNOTATION,
    atEnumeration,
};
// The default of an attribute definition.
enum TDefaultKind : uint8_t { dkRequired, dkImplied, dkFixed, dkValue };
// What a reference refers to, fixed when the reference is made.
enum TRefKind : uint8_t {
    rkCharacter,
    rkParameterEntity,
    rkInternalGeneral,
    rkExternalGeneral,
    rkUnparsedGeneral,
    rkNotDeclared,
};
