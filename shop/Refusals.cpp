#include "Refusals.h"

#include "ui/Messages.h"

void nameSchemaRefusals()
{
    ui::nameConstraint(
        QStringLiteral("smena_w_id_fkey"),
        QStringLiteral("Работника нельзя удалить: по нему есть записи в журнале смен."),
        QStringLiteral("Работник не найден: возможно, его удалил другой пользователь."));
    ui::nameConstraint(
        QStringLiteral("smena_o_id_fkey"),
        QStringLiteral("Операцию нельзя удалить: по ней есть записи в журнале смен."),
        QStringLiteral("Операция не найдена: возможно, её удалил другой пользователь."));
    ui::nameConstraint(
        QStringLiteral("oper_vid_fkey"),
        QStringLiteral("Вид работ нельзя удалить: его используют операции."),
        QStringLiteral("Вид работ не найден: возможно, его удалил другой пользователь."));
    ui::nameConstraint(QStringLiteral("item_id_parent_fkey"),
                       QStringLiteral("Группу номенклатуры нельзя удалить: в ней есть "
                                      "другие группы."),
                       QStringLiteral("Группа номенклатуры не найдена."));
    ui::nameConstraint(QStringLiteral("h_tabel_row_key"), QString(),
                       QStringLiteral("Строка табеля этого работника за этот месяц уже есть."));
    ui::nameConstraint(QStringLiteral("person_s_code_digits"), QString(),
                       QStringLiteral("Табельный номер работника должен состоять из цифр "
                                      "(не более 9)."));
}
