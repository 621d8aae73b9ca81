* O SE de uma linha executa o comando em modo aninhado: FIM SE falha.
se 1 = 1 escreve "se de uma linha"
se 1 = 2 fim se
escreve "falso não executa"
se 1 = 1 fim se
escreve "nunca"
