#pragma once

// Names what each constraint of the schema guards, so that a refusal by the server is
// told to the user in a sentence of its own.
void nameSchemaRefusals();
