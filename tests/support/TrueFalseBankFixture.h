#pragma once
// A true/false bank file written byte by byte in a temporary folder that is
// the working directory while the fixture lives: chapter 1 topic 1 holds two
// questions, chapter 1 topic 2 three, every other topic none.

#include "BankBytes.h"
#include "EmptyBankFolder.h"

class TrueFalseBankFixture : public EmptyBankFolder
{
public:
    TrueFalseBankFixture()
    {
        using bankBytes::trueFalse;
        write("QELMEXT2.DAT",
              trueFalse(1, 1, "La demanda de un bien suele bajar cuando sube su precio.", 1) +
                  trueFalse(1, 2, "Pregunta 1 del tema 2", 1) +
                  trueFalse(1, 1, "El precio no influye nunca en la demanda.", 0) +
                  trueFalse(1, 2, "Pregunta 2 del tema 2", 0) +
                  trueFalse(1, 2, "Pregunta 3 del tema 2", 1));
    }
};
