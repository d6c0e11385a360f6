#pragma once
// The ways the search engine combines the words of a query, shared by the
// engine and the expression executor.

enum TrbSearchLogic : int {
    slAnd,        // every word required
    slPhrase,     // the words as consecutive words of one field
    slNear,       // the words within NearWord words of each other in one field
    slLike,       // every word required, each by its sound-alike key
    slOr,         // any word
    slNot,        // none of the words
    slExpression, // an expression with operator words, parentheses and phrases
    slSmart,      // an expression, or the words under slAnd when it is only words
};
