#include "BancoCommand.h"

#include "BuscarOrder.h"
#include "ComprobarOrder.h"
#include "CorregirOrder.h"
#include "EstadisticasOrder.h"
#include "ExportarOrder.h"
#include "HistorialOrder.h"
#include "HojasOrder.h"
#include "ImportarOrder.h"

#include <memory>
#include <vector>

QString BancoCommand::helpText()
{
    return QStringLiteral(
        "Uso: orvalis-banco ORDEN [ARGUMENTOS]\n"
        "\n"
        "Comprueba, exporta, importa y busca en el banco de preguntas de Orvalis (los\n"
        "ficheros QELMEXT2.DAT (verdadero o falso), QELMEXE1.DAT (conceptuales),\n"
        "QELMEXE2.DAT (prácticas) y QELMEXE3.DAT (breves) de CARPETA, o de la carpeta\n"
        "actual si no se indica) y lista el historial de exámenes.\n"
        "\n"
        "Órdenes:\n"
        "  comprobar [CARPETA] [--json] [--parecidas]\n"
        "      Lee los cuatro ficheros sin cambiar nada y cuenta lo que encuentra:\n"
        "      registros, un registro incompleto al final, registros que ninguna lista\n"
        "      muestra y por qué, respuestas distintas de 0 y 1, textos vacíos o con\n"
        "      caracteres de control, textos repetidos en un capítulo (y tema) y\n"
        "      ficheros con el mismo nombre en distintas mayúsculas.\n"
        "      --json da el mismo informe en JSON. --parecidas añade los pares de\n"
        "      preguntas muy parecidas de un mismo capítulo (las que solo difieren en\n"
        "      mayúsculas, acentos, signos o unas pocas letras).\n"
        "\n"
        "  exportar [CARPETA] --formato FORMATO [--tipo TIPO] [--capitulo N]\n"
        "           [--salida FICHERO]\n"
        "      Escribe las preguntas en la salida estándar o en FICHERO, que solo se\n"
        "      sustituye cuando el nuevo está completo y guardado en el disco y que no\n"
        "      puede ser uno de los ficheros del banco.\n"
        "      FORMATO: moodle-xml (XML de Moodle), gift (GIFT de Moodle),\n"
        "      csv (UTF-8, separado por comas) o texto (el formato de las fuentes del\n"
        "      banco de demostración, que importar lee).\n"
        "      TIPO: test, conceptual, practica o breve; sin --tipo se exportan los\n"
        "      cuatro, salvo en formato texto, que lleva un solo tipo por fichero.\n"
        "      N: un capítulo, del 1 al 22.\n"
        "\n"
        "  exportar [CARPETA] --examen N --formato moodle-xml|gift [--version V]\n"
        "           [--salida FICHERO]\n"
        "      Escribe el examen N del historial como un cuestionario de Moodle: sus\n"
        "      preguntas en el orden del profesor, o en el de su versión V (A a D),\n"
        "      en la categoría «Examen: título» («Examen: título, versión V» para\n"
        "      B, C y D). La respuesta de cada pregunta de verdadero o falso es la que\n"
        "      el historial guardó al hacer el examen; solo en un examen anotado antes\n"
        "      de que el historial guardara las respuestas se busca en el banco, y la\n"
        "      pregunta que ya no está en él se deja fuera y se nombra.\n"
        "\n"
        "  importar FICHERO [CARPETA] [--formato FORMATO] [--tipo TIPO]\n"
        "           [--capitulo N [--tema T]] [--simular] [--estricto]\n"
        "      Añade al banco las preguntas de FICHERO. FORMATO: texto, moodle-xml o\n"
        "      gift; sin --formato se reconoce por el contenido del fichero.\n"
        "      En formato texto va una pregunta por línea: capítulo|tema|S o N|texto\n"
        "      para las de verdadero o falso y capítulo|texto para las demás; el tipo\n"
        "      se deduce del nombre del fichero (verdadero_falso.txt,\n"
        "      conceptuales.txt, practicas.txt, breves.txt) cuando no se da --tipo.\n"
        "      En moodle-xml y gift, las preguntas de verdadero o falso van a\n"
        "      QELMEXT2.DAT y las de ensayo son del tipo que dice --tipo (conceptual,\n"
        "      practica o breve) o su categoría. El capítulo y el tema salen de las\n"
        "      categorías que escribe exportar, o de --capitulo y --tema, que mandan\n"
        "      sobre ellas. Las preguntas de otros tipos se dejan fuera y se nombran.\n"
        "      El HTML se lee como se ve, en una línea; una imagen, un vídeo, una\n"
        "      ecuación o un fichero de Moodle no se pueden guardar.\n"
        "      Comprueba todas las preguntas antes de escribir y, si alguna no vale,\n"
        "      no escribe nada y dice cuáles fallan (fichero:línea: motivo).\n"
        "      --simular comprueba sin escribir. Una pregunta muy parecida a otra del\n"
        "      mismo capítulo (del banco o del fichero) se avisa y se añade; con\n"
        "      --estricto se rechaza. Cada fichero del banco cambia de una vez; si un\n"
        "      fichero de varios tipos se interrumpe entre dos, repetir la orden lo\n"
        "      termina sin añadir nada dos veces.\n"
        "\n"
        "  buscar PALABRAS [CARPETA] [--tipo TIPO] [--json]\n"
        "      Lista las preguntas cuyo texto contiene todas las palabras, sin\n"
        "      distinguir mayúsculas ni acentos (PALABRAS va entre comillas si son\n"
        "      varias), por tipo, capítulo y tema. --json da la lista en JSON.\n"
        "\n"
        "  historial [CARPETA] [--json] [--examen N]\n"
        "      Lista los exámenes que Orvalis ha anotado en historial.sqlite: número,\n"
        "      fecha, título, tipo y número de preguntas. --examen N da además las\n"
        "      preguntas del examen N en su orden. --json da lo mismo en JSON.\n"
        "\n"
        "  hojas --examen N [--copias K] [--primera S] [--salida FICHERO] [CARPETA]\n"
        "      Escribe en un PDF (hojas-examen-N.pdf si no se da --salida) las hojas de\n"
        "      respuestas del examen de tipo test N del historial: K copias (1 si no se\n"
        "      dice) de cada versión, numeradas desde S (1 si no se dice).\n"
        "\n"
        "  corregir ESCANEO... [CARPETA] [--examen N] [--penalizacion P]\n"
        "           [--alumnos LISTA.csv] [--resolver DECISIONES.csv] [--salida NOTAS.csv]\n"
        "           [--revision REVISION.pdf] [--json]\n"
        "      Lee las hojas escaneadas (PDF, PNG, JPEG o TIFF) y escribe las notas en CSV\n"
        "      (separado por «;», coma decimal, UTF-8) en la salida estándar o en\n"
        "      NOTAS.csv (un libro de Excel si acaba en .xlsx). Cada acierto suma 1,\n"
        "      cada error resta P (1 si no se dice, de 0 a 1) y un blanco 0; la nota\n"
        "      es 10 × puntos / preguntas. Una marca dudosa\n"
        "      no se adivina: se nombra y la nota queda pendiente hasta que\n"
        "      DECISIONES.csv (hoja;pregunta;respuesta, con S, N o - o Sí, No, en blanco;\n"
        "      o hoja;dni;número) la resuelve. LISTA.csv (DNI;nombre) añade el nombre\n"
        "      de cada alumno y nombra a los de la lista que no tienen hoja.\n"
        "      --revision escribe cada hoja con lo leído marcado encima. --json da el\n"
        "      resultado en JSON.\n"
        "\n"
        "  estadisticas [CARPETA] [--examen N] [--penalizacion P] [--json]\n"
        "      Dice qué enseñan las hojas corregidas de cada examen (o solo del N): las\n"
        "      hojas, la nota media, la mediana, la desviación típica, cuántas notas\n"
        "      caen en cada punto y la consistencia KR-20; y de cada pregunta, la parte\n"
        "      que la acertó y cuánto discrimina (la correlación de acertarla con el\n"
        "      resto del examen). Una hoja con marcas dudosas sin decidir queda fuera\n"
        "      de las cifras y se cuenta como pendiente. Las respuestas correctas son\n"
        "      las que el historial guardó con el examen (las del banco, para uno\n"
        "      anterior a que las guardara). --json da lo mismo en JSON.\n"
        "\n"
        "Estado de salida: 0 si todo va bien; 1 si comprobar encuentra problemas,\n"
        "importar rechaza o deja fuera alguna pregunta, exportar deja fuera algún\n"
        "registro, buscar no encuentra nada o corregir rechaza una página o deja\n"
        "una nota pendiente; 2 si no se puede leer o escribir un\n"
        "fichero o la orden no es válida.\n");
}

int BancoCommand::run(const QStringList &arguments)
{
    m_context.clearOutError();
    const int status = runOrder(arguments);
    if (m_context.outError().isEmpty())
        return status;
    m_context.printError(QStringLiteral("%1: no se ha podido escribir en la salida estándar: %2.\n")
                             .arg(OrderContext::kProgram, m_context.outError()));
    return Failure;
}

int BancoCommand::runOrder(const QStringList &arguments)
{
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h")) ||
        arguments.value(0) == QStringLiteral("ayuda")) {
        m_context.print(helpText());
        return Success;
    }
    // In the order the help and the messages list them.
    std::vector<std::unique_ptr<Order>> orders;
    orders.push_back(std::make_unique<ComprobarOrder>(m_context));
    orders.push_back(std::make_unique<ExportarOrder>(m_context));
    orders.push_back(std::make_unique<ImportarOrder>(m_context));
    orders.push_back(std::make_unique<BuscarOrder>(m_context));
    orders.push_back(std::make_unique<HistorialOrder>(m_context));
    orders.push_back(std::make_unique<HojasOrder>(m_context));
    orders.push_back(std::make_unique<CorregirOrder>(m_context));
    orders.push_back(std::make_unique<EstadisticasOrder>(m_context));
    QStringList names;
    for (const std::unique_ptr<Order> &order : orders)
        names.append(order->name());
    const QString last = names.takeLast();
    const QString listed = names.join(QStringLiteral(", "));

    if (arguments.isEmpty())
        return m_context.usageError(QStringLiteral("falta la orden: %1 o %2.").arg(listed, last));
    for (const std::unique_ptr<Order> &order : orders)
        if (order->name() == arguments.first())
            return order->run(arguments.mid(1));
    return m_context.usageError(QStringLiteral("orden desconocida «%1»; las órdenes son %2 y %3.")
                                    .arg(arguments.first(), listed, last));
}
