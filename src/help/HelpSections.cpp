#include "HelpSections.h"

#include "ProgramState.h"

// Every paragraph is one line, wrapped by the text box; it starts with four
// spaces (three in the printing section). Button captions stand in square
// brackets. A paragraph that two sections share is written once, here.

namespace {

using F = HelpFigure;

// Shared by the two selection sections and the two maintenance sections.
constexpr QStringView kChooseKind =
    u"    Elija, en primer lugar, el tipo de pregunta (conceptual, práctica o breve) marcando "
    u"la opción correspondiente en el recuadro \"Tipo de pregunta\".";

constexpr QStringView kRemoveSelected =
    u"    Si desea eliminar alguna pregunta seleccionada previamente, haga doble clic sobre "
    u"ella en la lista de preguntas seleccionadas y desaparecerá del examen.";

constexpr QStringView kWhenFinished =
    u"    Cuando haya terminado de seleccionar las preguntas, pulse el botón [Imprimir examen] "
    u"para pasar a la ventana de impresión.";

constexpr QStringView kAfterPrinting =
    u"    Al terminar de imprimir y volver al módulo de selección, las preguntas del examen "
    u"siguen seleccionadas: todavía puede añadir otras preguntas o eliminar alguna de las "
    u"elegidas y volver a imprimir el examen.";

// The later controls of the selection windows (the search also of the
// maintenance windows), shared by their sections.
constexpr QStringView kSearch =
    u"    Para encontrar una pregunta sin recorrer los capítulos, escriba algunas de sus palabras "
    u"en el recuadro [Buscar]: a partir de la tercera letra aparecen todas las preguntas que las "
    u"contienen, con su capítulo. Elija una con las flechas y pulse Intro, o haga doble clic "
    u"sobre ella, y el programa le llevará a su capítulo con la pregunta señalada.";

constexpr QStringView kDraw =
    u"    El botón [Elegir al azar...] elige las preguntas por usted: indique cuántas quiere de "
    u"cada capítulo y el programa las sortea entre las que no estén ya seleccionadas, dejando "
    u"fuera, si lo desea, las usadas en exámenes de los últimos meses. La \"Clave del sorteo\" "
    u"permite repetir el mismo sorteo más adelante.";

constexpr QStringView kUsedMark =
    u"    Una pregunta que ya salió en un examen anterior lleva el signo \"•\" junto a su "
    u"número en la lista de preguntas disponibles; si deja el puntero del ratón sobre el "
    u"número, verá en qué exámenes se usó y en qué fecha.";

constexpr QStringView kDelete =
    u"    Para eliminar una pregunta de la base de datos, haga clic sobre ella en la lista de "
    u"preguntas disponibles y pulse el botón [Eliminar pregunta]. El programa le pedirá "
    u"confirmación: pulse [Aceptar] para eliminarla definitivamente o [Cancelar] para "
    u"conservarla.";

constexpr HelpLine kGeneral[] = {
    {u"AYUDA GENERAL.    "},
    {u"    Este programa facilita al profesor la elaboración de exámenes de Marketing, tanto "
     u"de tipo normal, con preguntas de exposición (conceptuales, prácticas y breves), como de "
     u"tipo test, con preguntas que se responden con un Sí o un No."},
    {u"    El programa contiene %1 preguntas distribuidas de la forma siguiente:", 2, F::Total},
    // The count table, laid out for the fixed-pitch font of the text box.
    {u"    1. Preguntas de exposición ............... %1", 2, F::Exposition, 5},
    {u"       a) Conceptuales ............. %1", 1, F::Conceptual, 5},
    {u"       b) Prácticas ................ %1", 1, F::Practical, 5},
    {u"       c) Breves ................... %1", 2, F::Brief, 5},
    {u"    2. Preguntas de tipo test ................ %1", 1, F::TrueFalse, 5},
    {u"                                               -----", 1},
    {u"                        Total ................ %1", 3, F::Total, 5},
    {u"    El programa, además de seleccionar las preguntas disponibles para elaborar un "
     u"examen, permite añadir preguntas nuevas, modificar las que ya existen y eliminar de la "
     u"base de datos las que ya no quiera conservar."},
    {u"    Para entrar en los módulos de selección o de actualización de preguntas, pulse el "
     u"botón correspondiente de la barra de herramientas situada en la parte superior de la "
     u"ventana, o bien elija la opción que desee en la barra de menús principal."},
};

constexpr int kCountTableStart = 3;
constexpr int kCountTableLines = 7;

constexpr HelpLine kExpositionSelection[] = {
    {u"SELECCIÓN DE PREGUNTAS DE EXPOSICIÓN"},
    {kChooseKind},
    {u"    A continuación, señale con el puntero del ratón el capítulo del que quiere "
     u"seleccionar preguntas. En la lista de preguntas disponibles aparecerán las preguntas "
     u"de ese capítulo del tipo elegido."},
    {u"    Haga doble clic, en la lista de preguntas disponibles, sobre cada una de las "
     u"preguntas que quiera incluir en el examen. Las preguntas elegidas pasarán a la lista de "
     u"preguntas seleccionadas."},
    {kRemoveSelected},
    {u"    Para incluir preguntas del mismo tipo de otros capítulos, pulse sobre el título de "
     u"otro capítulo y proceda de la misma forma."},
    {u"    Puede incluir preguntas de diversos tipos en el mismo examen, hasta 100 de cada tipo. "
     u"Para ello, marque otra opción en el recuadro \"Tipo de pregunta\" y proceda de la misma "
     u"forma; las preguntas que haya seleccionado antes de cambiar de tipo se conservan."},
    {kSearch},
    {kDraw},
    {kUsedMark},
    {kWhenFinished},
    {kAfterPrinting},
};

constexpr HelpLine kExpositionMaintenance[] = {
    {u"MODIFICACIÓN DE PREGUNTAS DE EXPOSICIÓN"},
    {kChooseKind},
    {u"    A continuación, señale con el puntero del ratón el capítulo que quiere actualizar."},
    {u"    Si desea añadir una nueva pregunta al capítulo, pulse el botón [Añadir nueva "
     u"pregunta], escriba el texto de la pregunta en el recuadro \"Pregunta\" y pulse el botón "
     u"[Actualizar]. Si finalmente no quiere añadirla, pulse [Cancelar]."},
    {u"    Para modificar una pregunta disponible, haga clic sobre ella en la lista de "
     u"preguntas disponibles y pulse el botón [Modificar pregunta]. El texto de la pregunta "
     u"aparecerá en el recuadro \"Pregunta\", donde podrá corregirlo. Cuando termine, pulse "
     u"[Actualizar] para guardar los cambios, o [Cancelar] para descartarlos."},
    {kDelete},
    {kSearch},
    {u"    "},
};

constexpr HelpLine kTrueFalseSelection[] = {
    {u"SELECCIÓN DE PREGUNTAS DE TIPO TEST"},
    {u"    Elija, en primer lugar, el capítulo y, a continuación, el tema dentro del capítulo "
     u"seleccionado. Para ello, señale uno y otro con el puntero del ratón en las listas de "
     u"capítulos y de temas."},
    {u"    A continuación, haga doble clic sobre aquéllas preguntas de la lista de preguntas "
     u"disponibles que quiera incluir en el examen; se irán añadiendo a la lista de preguntas "
     u"seleccionadas. Puede incluir hasta 500 preguntas de tipo test."},
    {kRemoveSelected},
    {u"    Para incluir preguntas de otros temas del mismo capítulo o de otros capítulos, pulse "
     u"sobre el título del capítulo, si es otro, y sobre el del tema, y proceda de la misma "
     u"forma."},
    {kSearch},
    {kDraw},
    {kUsedMark},
    {kWhenFinished},
    {u"    Si desea imprimir una plantilla con las respuestas correctas, pulse el botón "
     u"[Imprimir plantilla ...]."},
    {u"    Si ha impreso el examen en varias versiones, la plantilla sale en las mismas versiones "
     u"y con la misma clave de barajado, de modo que la clave de cada versión corresponde a las "
     u"copias impresas."},
    {kAfterPrinting},
};

constexpr HelpLine kTrueFalseMaintenance[] = {
    {u"MODIFICACIÓN DE PREGUNTAS DE TIPO TEST"},
    {u"    Elija, en primer lugar, el capítulo y, a continuación, el tema dentro del capítulo "
     u"que quiera actualizar. Para ello, señale uno y otro con el puntero del ratón en las "
     u"listas de capítulos y de temas."},
    {u"    Si desea añadir una nueva pregunta al tema seleccionado, pulse el botón [Añadir nueva "
     u"pregunta], escriba el texto de la pregunta en el recuadro \"Pregunta\", indique la "
     u"respuesta correcta marcando \"Sí (verdadero)\" o \"No (falso)\" y pulse el botón "
     u"[Actualizar]. Si finalmente no quiere añadirla, pulse [Cancelar]."},
    {u"    Para modificar una pregunta disponible, haga clic sobre ella en la lista de "
     u"preguntas disponibles y pulse el botón [Modificar pregunta]. El texto de la pregunta "
     u"aparecerá en el recuadro \"Pregunta\", donde podrá corregirlo; también puede cambiar la "
     u"respuesta correcta. Cuando termine, pulse [Actualizar] para guardar los cambios, o "
     u"[Cancelar] para descartarlos."},
    {kDelete},
    {kSearch},
};

constexpr HelpLine kPrinting[] = {
    {u"IMPRESIÓN DE LOS EXÁMENES"},
    {u"   Se ofrecen tres posibilidades de impresión: 1) [Portapapeles], que copia el texto del "
     u"examen en el portapapeles para insertarlo después en un documento de un procesador de "
     u"textos; 2) [Impresora], que lo imprime en la impresora seleccionada por defecto en el "
     u"sistema; y 3) [Fichero], que lo guarda en un fichero de texto para conservarlo y poder "
     u"modificarlo más adelante con un procesador de textos."},
    {u"   El botón [PDF] guarda el examen como un documento listo para repartir: cabecera con "
     u"el centro, la asignatura, líneas para el nombre y la fecha y el título, preguntas "
     u"numeradas con sus casillas Sí y No, y en cada página la versión y el número de página. "
     u"En el mismo cuadro de diálogo, el tipo \"Documento de texto (*.odt)\" guarda en su lugar "
     u"una copia que se puede modificar con un procesador de textos."},
    {u"   El botón [Formato del examen...] fija lo que dice la cabecera: la asignatura, el centro, "
     u"la fecha, unas instrucciones y líneas para el DNI y el grupo; además, las líneas de "
     u"respuesta tras cada pregunta de exposición y si cada versión empieza en página impar, "
     u"para imprimir a doble cara. Se conserva para los exámenes siguientes."},
    {u"   En el recuadro [Versiones] puede pedir de 2 a 4 versiones del examen (A, B, C y D) "
     u"para alumnos sentados uno junto a otro: la A conserva el orden elegido y las demás lo "
     u"barajan. La plantilla de respuestas termina con la clave de cada versión en una tabla."},
    {u"   La [Clave de barajado] es el número del que salen las versiones. Anótelo con el "
     u"examen: si lo escribe de nuevo y pulsa Intro con las mismas preguntas, obtendrá las mismas "
     u"versiones. La plantilla de un examen recién impreso en versiones ya trae su clave."},
    {u"   Cada examen que sale de esta ventana queda anotado en el historial. El botón "
     u"[Título...] le da un nombre con el que reconocerlo más adelante, en lugar de \"Examen "
     u"del\" y la fecha."},
    {u"   El botón [Hojas de respuestas] guarda, para un examen tipo test, una hoja de respuestas "
     u"por versión en un PDF: cada alumno marca en ella sus respuestas con una X y escribe su "
     u"DNI, y las hojas escaneadas se corrigen después con \"Corregir hojas...\" en el menú."},
    {u"   Al terminar, pulse el botón [Salir de impresión]."},
};

constexpr HelpLine kMarking[] = {
    {u"CORRECCIÓN DE LAS HOJAS DE RESPUESTAS"},
    {u"    Pulse [Escaneos...] y elija los ficheros del escaneo de las hojas (PDF o imágenes; "
     u"varios a la vez). Elija el examen en la lista, o déjelo en blanco para que el programa lo "
     u"reconozca por el código de las hojas; indique cuánto resta cada error en "
     u"\"Penalización por error\" y, si quiere ver los nombres, la [Lista de alumnos...], un "
     u"fichero con "
     u"el DNI y el nombre de cada alumno."},
    {u"    Pulse [Corregir]. Las páginas se leen mientras puede seguir trabajando; [Cancelar] "
     u"detiene la lectura sin anotar nada en el historial."},
    {u"    Cada hoja ocupa una fila con su DNI, su versión, sus aciertos, errores, blancos y "
     u"marcas dudosas, sus puntos y su nota. Una hoja con alguna marca dudosa queda pendiente: "
     u"el programa no adivina nunca. Vea el recorte de la casilla y pulse [Marcada] (M) o "
     u"[En blanco] (B); [Siguiente] (S) pasa a la duda siguiente. Cada decisión se guarda y la "
     u"nota se calcula de nuevo."},
    {u"    [Guardar notas...] guarda las notas en un fichero que abre cualquier hoja de cálculo, "
     u"[Hoja de revisión...] guarda las hojas elegidas con lo que se leyó en cada casilla y "
     u"[Guardar informe...] guarda las cifras del examen con su gráfico."},
    {u"    Las cifras dicen qué preguntas funcionan: el porcentaje de alumnos que acertó cada una "
     u"y cuánto la aciertan más los buenos alumnos que los demás (\"discrimina\"). Una pregunta "
     u"que discrimina en negativo suele tener mal la respuesta en el banco o una redacción "
     u"ambigua: revísela. Estas cifras aparecen también al pasar el ratón sobre el número de "
     u"la pregunta en las ventanas de selección."},
    {u"    Al terminar, pulse el botón [Salir]."},
};

} // namespace

namespace HelpSections {

std::span<const HelpLine> section(qint16 code)
{
    switch (code) {
    case ActiveWindowCodes::kMain:
        return kGeneral;
    case ActiveWindowCodes::kExpositionSelection:
        return kExpositionSelection;
    case ActiveWindowCodes::kExpositionMaintenance:
        return kExpositionMaintenance;
    case ActiveWindowCodes::kTrueFalseSelection:
        return kTrueFalseSelection;
    case ActiveWindowCodes::kTrueFalseMaintenance:
        return kTrueFalseMaintenance;
    case ActiveWindowCodes::kOutput:
        return kPrinting;
    case ActiveWindowCodes::kMarking:
        return kMarking;
    default:
        return {};
    }
}

std::span<const HelpLine> countTable()
{
    return std::span<const HelpLine>(kGeneral).subspan(kCountTableStart, kCountTableLines);
}

} // namespace HelpSections
