#include "Refusals.h"

#include "ui/Messages.h"

#include <utility>

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
    // What a row may hold.
    const std::pair<const char *, const char *> checks[] = {
        {"smena_time_range", "Часы в записи журнала смен должны быть от 0 до 24."},
        {"smena_kol_vo_not_negative", "Количество в записи журнала смен не может быть "
                                      "отрицательным."},
        {"smena_brak_not_negative", "Брак в записи журнала смен не может быть отрицательным."},
        {"fatigue_cnt_range", "Часы в записи хоз. работ должны быть от 0 до 24."},
        {"fatigue_i_night_flag", "Отметка «Ночь» в записи хоз. работ должна быть 0 или 1."},
        {"fatigue_i_holiday_flag", "Отметка «Выходной» в записи хоз. работ должна быть 0 или 1."},
        {"column i_night", "Отметка «Ночь» в записи хоз. работ должна быть заполнена."},
        {"column i_holiday", "Отметка «Выходной» в записи хоз. работ должна быть заполнена."},
        {"ver_delim_separator", "Разделитель дробной части в записи версии должен быть точкой "
                                "или запятой."},
    };
    for (const auto &[name, sentence] : checks)
        ui::nameConstraint(QLatin1String(name), QString(), QString::fromUtf8(sentence));
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
