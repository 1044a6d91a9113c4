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
    ui::nameConstraint(QStringLiteral("calendar_day_year_fkey"), QString(),
                       QStringLiteral("Года этой даты нет в производственном календаре: "
                                      "сначала введите год."));
    ui::nameConstraint(QStringLiteral("calendar_year_year_key"), QString(),
                       QStringLiteral("Этот год уже есть в производственном календаре."));
    ui::nameConstraint(QStringLiteral("organisation_okpo_check"), QString(),
                       QStringLiteral("Код ОКПО состоит из 8, 10 или 14 цифр."));
    ui::nameConstraint(QStringLiteral("absence_days_order"), QString(),
                       QStringLiteral("Последний день неявки раньше первого."));
    ui::nameConstraint(QStringLiteral("absence_days_span"), QString(),
                       QStringLiteral("Неявка длиннее трёх лет: проверьте даты."));
    ui::nameConstraint(
        QStringLiteral("absence_w_id_fkey"),
        QStringLiteral("Работника нельзя удалить: у него есть неявки."),
        QStringLiteral("Работник не найден: возможно, его удалил другой пользователь."));
}
